#include "Dormio/UI/Pages/QuitConfirmation.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace dormio {

QMessageBox* askToQuit(QWidget* page, const QString& name, const QString& message,
                       std::function<void()> confirmed, std::function<void()> closed) {
    const QString title = QStringLiteral("Quit ") + name + QStringLiteral("?");
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, title, QMessageBox::NoButton, page);
    box->setInformativeText(message);
    // A name may hold "<": both texts are plain.
    box->setTextFormat(Qt::PlainText);
    if (auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* quit = box->addButton(QStringLiteral("Quit ") + name, QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    cancel->setText(QStringLiteral("Cancel"));
    box->setEscapeButton(cancel);
    box->setDefaultButton(quit);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [quit, confirmed = std::move(confirmed)](QAbstractButton* button) {
        if (button == quit && confirmed) confirmed();
    });
    QObject::connect(box, &QDialog::finished, box, [closed = std::move(closed)] {
        if (closed) closed();
    });
    box->open();
    return box;
}

} // namespace dormio
