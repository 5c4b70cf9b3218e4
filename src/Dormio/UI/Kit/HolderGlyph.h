#pragma once

// The picture of a process that holds the Mac awake: its app's grey icon, or a symbol for the process.

#include <QWidget>
#include <optional>
#include <string>

namespace dormio {

class HolderGlyph : public QWidget {
public:
    HolderGlyph(const std::optional<std::string>& path, const std::string& process, qreal size,
                QWidget* parent = nullptr);

    // Whether the icon shows: the path names an application (AppLookup::isApplication) that is still on disk.
    // Asked afresh at every drawing, so a bundle that goes away falls back to the symbol.
    bool showsIcon() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<std::string> path_;
    std::string process_;
    qreal size_;
};

} // namespace dormio
