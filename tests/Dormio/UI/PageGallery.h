#pragma once

// Main-window pages drawn for a person to look at: at the detail column's size in a window of the
// minimum size and in a roomier one, in both appearances, and once more at the full length of the page.

#include "ChartProbe.h"
#include "Dormio/UI/Pages/PageScroll.h"

#include <QCoreApplication>
#include <QScrollArea>

namespace dormio::test {

struct PageSize {
    const char* name;
    QSize size;
};
// The minimum window (1020 × 680) less the sidebar's 206 px and the toolbar; and a roomier window.
inline constexpr PageSize pageSizes[] = {{"minimum", {814, 628}}, {"normal", {1234, 848}}};

// Writes "<name>-<size>-<appearance>.png" and "<name>-full-<appearance>.png"; says whether all were written.
template <typename MakePage> bool writePageGallery(const QString& name, MakePage makePage) {
    bool written = true;
    for (const Appearance appearance : bothAppearances) {
        const AppearanceScope scope(appearance);
        for (const PageSize& size : pageSizes) {
            auto page = makePage();
            page->resize(size.size);
            page->show();
            QCoreApplication::processEvents();
            written &= writeGallery(render(*page, 2, QColor(Theme::paper)),
                                    QStringLiteral("%1-%2-%3").arg(name, size.name, nameOf(appearance)));
            if (size.size.width() == pageSizes[0].size.width()) {
                QWidget& content = *page->widget();
                content.resize(content.width(), content.heightForWidth(content.width()));
                written &= writeGallery(render(content, 2, QColor(Theme::paper)),
                                        QStringLiteral("%1-full-%2").arg(name, nameOf(appearance)));
            }
        }
    }
    return written;
}

} // namespace dormio::test
