#pragma once

// The Right Now page: whether anything keeps the Mac from idle sleep at this moment, the live holders in
// three ledgers (holding the Mac awake, keeping the screen on, the system's own housekeeping), and a Quit
// for a user app after the user confirms it. It follows the store's live reads, changing only the rows
// that changed.

#include "Dormio/Core/LiveRow.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Pages/PageScroll.h"

#include <QMessageBox>
#include <QPointer>
#include <optional>

namespace dormio {

class LiveLedger;
class PageHeader;
class StateLine;
class Store;

class RightNowPage : public PageScroll {
public:
    explicit RightNowPage(Store& store, QWidget* parent = nullptr);

    // "On duty · read every 30 s · last 07:12": the last live read, or now on sample data.
    static QString kicker(const Store& store);
    // The confirmation's sentence under its title.
    static QString quitMessage(const LiveRow& row);

    // The row whose quit waits for the user's answer, and the box that asks; none while nothing asks.
    const std::optional<LiveRow>& confirm() const { return confirm_; }
    QMessageBox* confirmation() const { return confirmation_; }

    PageHeader* header() const { return header_; }
    StateLine* stateLine() const { return stateLine_; }
    LiveLedger* holders() const { return holders_; }
    LiveLedger* screenKeepers() const { return screenKeepers_; }
    LiveLedger* housekeeping() const { return housekeeping_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void follow(const Motion::Curve& curve);
    void ask(const LiveRow& row);
    void quitConfirmed(const LiveRow& row);

    Store& store_;
    PageHeader* header_;
    StateLine* stateLine_;
    LiveLedger* holders_;
    LiveLedger* screenKeepers_;
    LiveLedger* housekeeping_;
    std::optional<LiveRow> confirm_;
    QPointer<QMessageBox> confirmation_;
};

} // namespace dormio
