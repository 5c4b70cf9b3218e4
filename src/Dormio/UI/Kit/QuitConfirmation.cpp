#include "Dormio/UI/Kit/QuitConfirmation.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace dormio {

QMessageBox* confirmQuit(QWidget* parent, const QString& name, const QString& message,
                         std::function<void()> quit) {
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::NoIcon);
    const QString question = QStringLiteral("Quit ") + name + QLatin1Char('?');
    box->setWindowTitle(question);
    // Some window managers show no title: the question heads the box itself, the message under it.
    box->setTextFormat(Qt::PlainText); // a holder's name may hold "<"
    box->setText(question);
    box->setInformativeText(message);
    // Qt sets the informative text in whatever format it guesses; a name with "<" must stay plain.
    for (QLabel* label : box->findChildren<QLabel*>())
        if (label->text() == message) label->setTextFormat(Qt::PlainText);
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
