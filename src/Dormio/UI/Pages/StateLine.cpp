#include "Dormio/UI/Pages/StateLine.h"

#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QBoxLayout>
#include <QStringList>

namespace dormio {

namespace {

QString joined(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(QStringLiteral(", "));
}

} // namespace

QString StateLine::headline(const std::vector<std::string>& names) {
    if (names.empty()) return QStringLiteral("Nothing is keeping your Mac awake");
    if (names.size() == 1)
        return QString::fromStdString(names.front()) + QStringLiteral(" is holding it awake");
    return QString::number(qlonglong(names.size())) + QStringLiteral(" apps are holding it awake");
}

QString StateLine::detail(const std::vector<std::string>& names) {
    if (names.empty()) return QStringLiteral("When you walk away it will sleep on its normal schedule.");
    const QString who = names.size() == 1 ? QStringLiteral("it holds") : QStringLiteral("they hold");
    return QStringLiteral("While ") + who + QStringLiteral(" on, your Mac won\u2019t idle-sleep: ") +
           joined(names) + QStringLiteral(".");
}

StateLine::StateLine(QWidget* parent)
    : QWidget(parent), dot_(new StatusDot(Theme::indigo, false)),
      headline_(new Label(headline({}), Theme::Typo::lede(), Theme::ink)),
      detail_(new Label(detail({}), Theme::Typo::body(), Theme::ink2)) {
    headline_->setTransition(TextTransition::opacity, Motion::standardOrReduced());
    detail_->setWrapping(QWIDGETSIZE_MAX);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(10);
    top->addWidget(dot_, 0, Qt::AlignVCenter);
    top->addWidget(headline_, 1, Qt::AlignVCenter);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);
    stack->addLayout(top);
    // Under the headline, past the dot and its gap.
    auto* indented = new QHBoxLayout;
    indented->setContentsMargins(17, 0, 0, 0);
    indented->addWidget(detail_);
    stack->addLayout(indented);
}

void StateLine::setNames(const std::vector<std::string>& names) {
    const bool holding = !names.empty();
    dot_->setColor(holding ? Theme::rose : Theme::indigo);
    dot_->setLive(holding);
    headline_->setTransition(TextTransition::opacity, Motion::standardOrReduced());
    headline_->setText(headline(names));
    detail_->setText(detail(names));
}

} // namespace dormio
