#pragma once

// One ledger of live holders on the Right Now page: who holds which assertion, for how long, and a Quit
// button for a user app. A new listing changes only the rows that differ: a row that stays keeps its
// widgets, a row that comes slides in, a row that goes slides out.

#include "Dormio/Core/LiveRow.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Panel.h"

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace dormio {

class LedgerRow;

class LiveLedger : public Panel {
public:
    using Quit = std::function<void(const LiveRow&)>;

    LiveLedger(const QString& title, const QString& empty, Quit onQuit, QWidget* parent = nullptr);

    // Shows `rows` in their order; rows that come and go move along `curve`.
    void setRows(const std::vector<LiveRow>& rows, const Motion::Curve& curve = {});
    const std::vector<LiveRow>& rows() const { return rows_; }
    // The widget of the row under `key`; null when none stands there.
    LedgerRow* row(const std::string& key) const;

    static QStringList columnTitles();
    // "1 assertion", "3 assertions"; none without rows.
    static std::optional<QString> note(std::size_t count);
    // A row's identity in the ledger: the assertion's id and how many rows before it share that id, so
    // that two identical assertions of one process are two rows.
    static std::vector<std::string> keys(const std::vector<LiveRow>& rows);
    // The second line of a row's reason: the raw type, or “name” · process.
    static QString detail(const LiveAssertion& assertion);

private:
    class RowView;
    void showEmpty();
    QWidget* table();
    void place();

    QString empty_;
    Quit onQuit_;
    std::vector<LiveRow> rows_;
    std::vector<std::pair<std::string, RowView*>> shown_; // in the rows' order
    QWidget* table_ = nullptr;
};

} // namespace dormio
