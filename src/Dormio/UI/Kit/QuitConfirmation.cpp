#include "Dormio/UI/Kit/QuitConfirmation.h"

#include <QMessageBox>
#include <QPushButton>

namespace dormio {

QMessageBox* confirmQuit(QWidget* parent, const QString& name, const QString& message,
                         std::function<void()> quit) {
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(QStringLiteral("Quit ") + name + QLatin1Char('?'));
    box->setTextFormat(Qt::PlainText); // a holder's name may hold "<"
    box->setText(message);
    QPushButton* confirm = box->addButton(QStringLiteral("Quit ") + name, QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setEscapeButton(cancel);
    QObject::connect(box, &QMessageBox::finished, box, [box, confirm, quit = std::move(quit)] {
        if (box->clickedButton() == confirm) quit();
    });
    box->open();
    return box;
}

} // namespace dormio
