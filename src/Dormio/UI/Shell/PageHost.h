#pragma once

// Shows the page the store names, and only that one. A change of page makes a fresh view of the new page
// (the old one goes with all it held) and fades it in. It passes on the title the page gives itself.

#include "Dormio/Core/Page.h"
#include "Dormio/UI/Kit/Motion.h"

#include <QPointer>
#include <QWidget>

class QGraphicsOpacityEffect;
class QVBoxLayout;

namespace dormio {

class Store;

class PageHost : public QWidget {
    Q_OBJECT
public:
    explicit PageHost(Store& store, QWidget* parent = nullptr);

    QWidget* page() const { return page_; }
    Page shownPage() const { return shown_; }
    // The page's own window title, else its sidebar title.
    QString title() const;
    qreal fade() const { return fade_.value(); }

signals:
    void titleChanged(const QString& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage();
    void showFade(qreal opacity);

    Store& store_;
    QVBoxLayout* layout_;
    Page shown_;
    QPointer<QWidget> page_;
    QPointer<QGraphicsOpacityEffect> effect_;
    Motion::Value fade_;
};

} // namespace dormio
