#include "Dormio/UI/Shell/WelcomePage.h"

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Charts/MiniHypnogramView.h"
#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/StateStyle.h"
#include "Dormio/UI/Kit/Switch.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/PowerLog.h"

#include <QBoxLayout>
#include <QPainter>
#include <iterator>

namespace dormio {

namespace {

QHBoxLayout* row(QWidget* owner, qreal spacing) {
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(int(spacing));
    return layout;
}

QVBoxLayout* column(QWidget* owner, qreal spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(int(spacing));
    return layout;
}

// The tour's cards are the pages' panels at a fixed width, with their own insets.
Panel* card(QWidget* content, qreal width, qreal horizontal, qreal vertical) {
    auto* panel = new Panel(std::nullopt, std::nullopt, 0, content);
    panel->layout()->setContentsMargins(int(horizontal), int(vertical), int(horizontal), int(vertical));
    panel->setFixedWidth(int(width));
    return panel;
}

// A filled rectangle standing for a state on the trace.
class Mark : public QWidget {
public:
    Mark(QSizeF size, DynamicColor color) : size_(size), color_(color) {
        setFixedSize(120, int(std::ceil(size.height())));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRectF(QPointF(0, (height() - size_.height()) / 2), size_), QColor(color_));
    }

private:
    QSizeF size_;
    DynamicColor color_;
};

// Each state's sample as the trace draws it: a block asleep, a thin mark for a dark wake, a line awake.
QSizeF sampleSize(PowerState state) {
    switch (state) {
    case PowerState::asleep:
        return {120, 14};
    case PowerState::dark:
        return {2, 12};
    case PowerState::awake:
    case PowerState::screenOn:
        return {120, 3};
    }
    return {120, 3};
}

// "Quit…" as the holder rows show it: an outlined pill that does nothing here.
class QuitPill : public QWidget {
public:
    QuitPill() { setFixedSize(int(std::ceil(font().width(text()) + 2 * padding)), 24); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        Shapes::strokeInside(painter, rect(), Theme::Radius::control, Theme::rule);
        painter.setPen(QColor(Theme::ink));
        const Font& f = font();
        f.draw(painter, {padding, (height() - f.height()) / 2 + f.ascent()}, text());
    }

private:
    static constexpr qreal padding = 10;
    static const Font& font() {
        static const Font pill = Theme::systemFont(12, QFont::Medium);
        return pill;
    }
    static QString text() { return QStringLiteral("Quit…"); }
};

// A symbol before a text, both in the text's colour.
class SymbolLabel : public QWidget {
public:
    SymbolLabel(std::string_view symbol, const QString& text, const Font& font, DynamicColor color)
        : symbol_(symbol), text_(text), font_(font), color_(color) {
        setFixedSize(int(std::ceil(font_.pixels() + gap + font_.width(text_))),
                     int(std::ceil(font_.height())));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal side = font_.pixels();
        Symbols::paint(painter, QRectF(0, (height() - side) / 2, side, side), symbol_, color_);
        painter.setPen(QColor(color_));
        font_.draw(painter, {side + gap, font_.ascent()}, text_);
    }

private:
    static constexpr qreal gap = 6;
    std::string_view symbol_;
    QString text_;
    Font font_;
    DynamicColor color_;
};

// One of the app's shortcuts: its key caps over what it does.
QWidget* shortcut(const QStringList& keys, const QString& label) {
    auto* block = new QWidget;
    auto* stack = column(block, 6);
    auto* caps = new QHBoxLayout;
    caps->setSpacing(4);
    for (const QString& key : keys)
        caps->addWidget(new KeyCap(key));
    stack->addLayout(caps);
    stack->setAlignment(caps, Qt::AlignHCenter);
    stack->addWidget(new Label(label, Theme::Typo::small(), Theme::ink2), 0, Qt::AlignHCenter);
    return block;
}

} // namespace

WelcomePage::WelcomePage(const QString& title, const QString& message, QWidget* art, QWidget* parent)
    : QWidget(parent), title_(new Label(title, Theme::Typo::title(), Theme::ink)),
      message_(new Label(message, Theme::Typo::body(), Theme::ink2)) {
    title_->setAlignment(Qt::AlignHCenter);
    message_->setAlignment(Qt::AlignHCenter);
    message_->setWrapping(messageWidth);

    auto* stack = column(this, Theme::Space::xl);
    stack->setContentsMargins(int(Theme::Space::xxl), 0, int(Theme::Space::xxl), 0);
    stack->addStretch(1);
    if (art) {
        auto* frame = new QWidget;
        frame->setFixedHeight(int(artHeight));
        auto* centred = column(frame, 0);
        centred->addWidget(art, 0, Qt::AlignCenter);
        stack->addWidget(frame);
    }
    auto* words = new QVBoxLayout;
    words->setSpacing(int(Theme::Space::s));
    words->addWidget(title_, 0, Qt::AlignHCenter);
    words->addWidget(message_, 0, Qt::AlignHCenter);
    stack->addLayout(words);
    stack->addStretch(1);
}

QWidget* WelcomeArt::sampleNight() {
    const std::optional<Night>& night = DemoData::sampleNight();
    if (!night) return nullptr;
    auto* trace = new MiniHypnogramView(true);
    trace->setNight(*night);
    trace->setFixedHeight(54);

    static const Font time = Theme::systemFont(9.5, QFont::Normal, true);
    auto* times = new QHBoxLayout;
    times->setContentsMargins(0, 0, 0, 0);
    times->addWidget(new Label(QString::fromStdString(Fmt::clockTime(night->start)), time, Theme::ink3));
    times->addStretch(1);
    times->addWidget(new Label(QString::fromStdString(Fmt::clockTime(night->end)), time, Theme::ink3));

    auto* content = new QWidget;
    auto* stack = column(content, 6);
    stack->addWidget(trace);
    stack->addLayout(times);
    return card(content, 400, Theme::Space::l, Theme::Space::l);
}

QWidget* WelcomeArt::stateLegend() {
    static const Font name = Theme::systemFont(10, QFont::Medium, true).withTracking(0.6);
    auto* legend = new QWidget;
    auto* stack = column(legend, 9);
    // Top to bottom as the trace stacks them: screen on first, asleep last.
    for (auto state = std::rbegin(PowerStates::allCases); state != std::rend(PowerStates::allCases);
         ++state) {
        const std::string_view words = label(*state);
        auto* title = new Label(QString::fromUtf8(words.data(), qsizetype(words.size())), name, Theme::ink2);
        title->setUppercase(true);
        title->setAlignment(Qt::AlignTrailing);
        title->setFixedWidth(140);
        auto* line = new QHBoxLayout;
        line->setSpacing(12);
        line->addWidget(title, 0, Qt::AlignVCenter);
        line->addWidget(new Mark(sampleSize(*state), stateKey(*state)), 0, Qt::AlignVCenter);
        stack->addLayout(line);
    }
    auto* grade = new QHBoxLayout;
    grade->setContentsMargins(152, 6, 0, 0);
    grade->addWidget(new RestGrade(82, false));
    grade->addStretch(1);
    stack->addLayout(grade);
    return legend;
}

QWidget* WelcomeArt::holderAndShortcuts() {
    auto* holder = new QWidget;
    auto* line = row(holder, 10);
    line->addWidget(new HolderGlyph(std::string("/System/Applications/Music.app"), "Music", 16), 0,
                    Qt::AlignVCenter);
    line->addWidget(new Label(QStringLiteral("Music"), Theme::Typo::bodyStrong(), Theme::ink), 0,
                    Qt::AlignVCenter);
    line->addWidget(new Label(QStringLiteral("Stops idle sleep"), Theme::Typo::small(), Theme::rose), 0,
                    Qt::AlignVCenter);
    line->addStretch(1);
    line->addWidget(new Label(QStringLiteral("45 m"), Theme::systemFont(12, QFont::Medium, true), Theme::ink),
                    0, Qt::AlignVCenter);
    line->addWidget(new QuitPill, 0, Qt::AlignVCenter);

    auto* shortcuts = new QWidget;
    auto* keys = row(shortcuts, Theme::Space::l);
    keys->addWidget(shortcut({QStringLiteral("⌘"), QStringLiteral("1")}, QStringLiteral("Last Night")));
    keys->addWidget(shortcut({QStringLiteral("⌘"), QStringLiteral("3")}, QStringLiteral("Right Now")));
    keys->addWidget(shortcut({QStringLiteral("⌘"), QStringLiteral("[")}, QStringLiteral("Previous night")));

    auto* art = new QWidget;
    auto* stack = column(art, Theme::Space::l);
    stack->addWidget(card(holder, 380, Theme::Space::m, Theme::Space::m), 0, Qt::AlignHCenter);
    stack->addWidget(shortcuts, 0, Qt::AlignHCenter);
    return art;
}

LoginArt::LoginArt(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), switch_(new Switch(QStringLiteral("Open Dormio at login"))),
      message_(new Label(QString(), Theme::Typo::small(), Theme::rose)) {
    auto* content = new QWidget;
    auto* line = row(content, Theme::Space::s);
    line->addWidget(new SymbolLabel(ViewSymbols::openAtLogin, QStringLiteral("Open Dormio at login"),
                                    Theme::Typo::bodyStrong(), Theme::ink),
                    0, Qt::AlignVCenter);
    line->addStretch(1);
    line->addWidget(switch_, 0, Qt::AlignVCenter);
    // The system decides; the switch then shows what it holds, whether the change went through or not.
    connect(switch_, &QAbstractButton::clicked, this, [this](bool on) {
        store_.setLoginItem(on);
        showStore();
    });
    message_->setWrapping(340);
    message_->setFixedWidth(340);

    auto* stack = column(this, Theme::Space::m);
    stack->addWidget(card(content, 340, Theme::Space::l, Theme::Space::m), 0, Qt::AlignHCenter);
    stack->addWidget(message_, 0, Qt::AlignHCenter);
    stack->addWidget(new Kicker(QStringLiteral("Everything stays on this Mac"), Theme::ink3), 0,
                     Qt::AlignHCenter);

    connect(&store_, &Store::loginItemEnabledChanged, this, &LoginArt::showStore);
    connect(&store_, &Store::loginItemMessageChanged, this, &LoginArt::showStore);
    showStore();
}

void LoginArt::showStore() {
    switch_->setChecked(store_.loginItemEnabled());
    const std::optional<QString>& message = store_.loginItemMessage();
    message_->setText(message.value_or(QString()));
    message_->setVisible(message.has_value());
}

} // namespace dormio
