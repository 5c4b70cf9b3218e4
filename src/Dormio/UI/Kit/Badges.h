#pragma once

// Small outlined labels: a tag beside a title, and the cap of a key in a shortcut.

#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QWidget>

namespace dormio {

// The text as given (not upper-cased) in a thin outline of its own colour.
class Tag : public QWidget {
public:
    Tag(const QString& text, DynamicColor color, QWidget* parent = nullptr);
    const QString& text() const { return text_; }
    void setText(const QString& text);
    QSize sizeHint() const override;
    static Font font(); // 10 px, medium, monospaced

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    DynamicColor color_;
};

// A key of the keyboard as a small cap, at least 22 × 20 px. The command key reads "Ctrl" here.
class KeyCap : public QWidget {
public:
    explicit KeyCap(const QString& key, QWidget* parent = nullptr);
    const QString& key() const { return key_; }
    QString shownKey() const;
    QSize sizeHint() const override;
    static Font font(); // 11.5 px, medium, monospaced

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QString key_;
};

} // namespace dormio
