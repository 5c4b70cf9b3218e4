#pragma once

// The Right Now page's status line: a dot and a headline saying whether anything keeps the Mac from
// idle sleep, and a sentence naming the apps that do.

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

namespace dormio {

class Label;
class StatusDot;

class StateLine : public QWidget {
public:
    explicit StateLine(QWidget* parent = nullptr);

    // The distinct names of the apps that hold the Mac awake, sorted; the change between none and some
    // animates.
    void setNames(const std::vector<std::string>& names);

    static QString headline(const std::vector<std::string>& names);
    static QString detail(const std::vector<std::string>& names);

    StatusDot* dot() const { return dot_; }
    Label* headlineLabel() const { return headline_; }
    Label* detailLabel() const { return detail_; }

private:
    StatusDot* dot_;
    Label* headline_;
    Label* detail_;
};

} // namespace dormio
