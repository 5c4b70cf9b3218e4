#pragma once

// Which addresses the updater talks to. Only http and https form an address here, and the feed and the
// archive travel over https unless they come from this machine (the loopback address, for tests).

#include <QString>
#include <QUrl>
#include <optional>

namespace dormio::UpdateUrl {

// The http or https address written in `text`, or none.
std::optional<QUrl> parse(const QString& text);

// Whether the updater may fetch from `url`: https, or http to a literal loopback address.
bool isAllowed(const QUrl& url);

} // namespace dormio::UpdateUrl
