#pragma once

// The kit's "Updates" section of a settings form: the running version, the automatic-update switch with
// what it does, and a status line beside "Check Now". It shows the updater as it is and follows every
// change it publishes; it keeps nothing of its own.

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace dormio {

class Updater;

class UpdateSettingsRows : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* header = "Updates";

    explicit UpdateSettingsRows(Updater& updater, QWidget* parent = nullptr);

    // The status line for the updater's phase; relative dates are read against the updater's clock.
    static QString updateStatus(const Updater& updater);

    QLabel* version() const { return version_; }
    QCheckBox* automatic() const { return automatic_; }
    QLabel* status() const { return status_; }
    QPushButton* checkNow() const { return checkNow_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addRow(QWidget* row);
    void refresh();
    void applyInks();

    Updater& updater_;
    QLabel* header_;
    QWidget* group_;
    QVBoxLayout* rows_;
    QList<QWidget*> rowWidgets_;
    QLabel* version_;
    QCheckBox* automatic_;
    QLabel* footnote_;
    QLabel* status_;
    QPushButton* checkNow_;
};

} // namespace dormio
