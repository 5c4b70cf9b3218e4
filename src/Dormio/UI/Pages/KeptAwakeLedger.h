#pragma once

// The "What kept it up" panel of the night page: who held the Mac awake while its screen was off, the
// reason each gave and for how long, with a way to ask an app that still runs to quit.

#include "Dormio/Core/LiveRow.h"
#include "Dormio/UI/Kit/Panel.h"
#include "DormioKit/Night.h"

#include <optional>
#include <vector>

class QMessageBox;

namespace dormio {

class QuitCell;
class Store;

class KeptAwakeLedger : public Panel {
public:
    KeptAwakeLedger(Store& store, Night night, QWidget* parent = nullptr);

    // Whether a row offers "Quit…": asked of the running applications each time, never remembered.
    bool canQuit(const KeptAwakeRow& row) const;

    const std::vector<KeptAwakeRow>& rows() const { return rows_; }
    // Shows another night's holders; a quit waiting for its answer is given up.
    void setNight(Night night);
    // The row whose quit waits for the user's answer, and the dialog asking it.
    const std::optional<KeptAwakeRow>& confirm() const { return confirm_; }
    QMessageBox* confirmation() const { return confirmation_; }
    // Presses "Quit…" on a row: the dialog opens, nothing else happens yet.
    void askToQuit(const KeptAwakeRow& row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showNight();
    QWidget* table();
    // Puts each row's Quit button or word in line with what runs now.
    void refreshActions();

    Store& store_;
    Night night_;
    std::vector<KeptAwakeRow> rows_;
    std::vector<QuitCell*> actions_;
    std::optional<KeptAwakeRow> confirm_;
    QMessageBox* confirmation_ = nullptr;
};

} // namespace dormio
