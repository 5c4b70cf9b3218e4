#include "Gallery.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <memory>

namespace dormio::test {

namespace {

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x1E, 0x1D, 0x2A));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEC, 0xF4));
    dark.setColor(QPalette::Base, QColor(0x14, 0x13, 0x1E));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEC, 0xF4));
    dark.setColor(QPalette::Button, QColor(0x34, 0x33, 0x42));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEC, 0xF4));
    dark.setColor(QPalette::Highlight, QColor(0x8B, 0x7C, 0xF6));
    return dark;
}

} // namespace

bool writeGallery(const QString& folder, const QString& name, int width,
                  const std::function<QWidget*()>& make) {
    const QPalette light = QApplication::palette();
    const QString path = QStringLiteral(OSTREL_GALLERY_DIR) + "/" + folder;
    QDir().mkpath(path);
    bool written = true;
    for (const auto& [suffix, palette] : {std::pair{"light", light}, std::pair{"dark", darkPalette()}}) {
        QApplication::setPalette(palette);
        const std::unique_ptr<QWidget> view(make());
        view->setFixedWidth(width);
        view->setFixedHeight(view->hasHeightForWidth() ? view->heightForWidth(width)
                                                       : view->sizeHint().height());
        view->ensurePolished();
        if (view->layout()) view->layout()->activate();
        QImage image(view->size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(palette.color(QPalette::Window));
        view->render(&image, {}, {}, QWidget::DrawChildren);
        written = image.save(path + "/" + name + "-" + suffix + ".png") && written;
    }
    QApplication::setPalette(light);
    return written;
}

} // namespace dormio::test
