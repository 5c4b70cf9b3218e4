#include "OstrelKit/Updater/UpdateUrl.h"

#include <QHostAddress>

namespace dormio::UpdateUrl {

std::optional<QUrl> parse(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    if (url.scheme() != "http" && url.scheme() != "https") return std::nullopt;
    return url;
}

bool isAllowed(const QUrl& url) {
    if (!parse(url.toString(QUrl::FullyEncoded))) return false;
    if (url.scheme() == "https") return true;
    // A name such as "localhost" goes through the resolver, so only a literal address counts.
    const QHostAddress host(url.host());
    return !host.isNull() && host.isLoopback();
}

} // namespace dormio::UpdateUrl
