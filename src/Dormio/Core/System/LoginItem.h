#pragma once

#include <optional>
#include <string>

namespace dormio {

enum class LoginItemStatus { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

// Open at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/dormio.desktop, that starts
// the running executable by its absolute path.
namespace LoginItem {

LoginItemStatus status();
// Each gives nothing on success, else what went wrong as a sentence fragment.
std::optional<std::string> registerApp();
std::optional<std::string> unregisterApp();

} // namespace LoginItem

// Opening at login as the store sees it: the autostart entry (AutostartLoginItem), or a fake.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;
    virtual LoginItemStatus status() = 0;
    virtual std::optional<std::string> registerApp() = 0;
    virtual std::optional<std::string> unregisterApp() = 0;
};

class AutostartLoginItem final : public LoginItemService {
public:
    LoginItemStatus status() override { return LoginItem::status(); }
    std::optional<std::string> registerApp() override { return LoginItem::registerApp(); }
    std::optional<std::string> unregisterApp() override { return LoginItem::unregisterApp(); }
};

} // namespace dormio
