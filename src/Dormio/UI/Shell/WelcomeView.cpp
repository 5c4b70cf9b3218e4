#include "Dormio/UI/Shell/WelcomeView.h"

#include "Dormio/UI/Kit/Theme.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dormio {

WelcomeView::WelcomeView(std::function<void()> finish, QWidget* parent)
    : QDialog(parent, Qt::Sheet), finish_(std::move(finish)) {
    setWindowTitle("Welcome to Dormio");
    setWindowModality(Qt::WindowModal);
    auto* title = new QLabel("Welcome to Dormio", this);
    title->setFont(Theme::systemFont(22, QFont::DemiBold));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* done = buttons->addButton("Done", QDialogButtonBox::AcceptRole);
    done->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    // Closing the sheet any way ends the tour, as Done does.
    connect(this, &QDialog::finished, this, [this] {
        if (finish_) std::exchange(finish_, nullptr)();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 32, 32, 24);
    layout->setSpacing(24);
    layout->addWidget(title);
    layout->addWidget(buttons);
}

void WelcomeView::dismiss() {
    finish_ = nullptr;
    close();
}

} // namespace dormio
