#include "OstrelKit/Windows/UpdateView.h"
#include "OstrelKit/Windows/WindowHost.h"
#include "UpdaterFixture.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace dormio {
namespace {

using namespace test;
using Texts = UpdateView::Texts;

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x1E, 0x1D, 0x2A));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEC, 0xF4));
    dark.setColor(QPalette::Base, QColor(0x14, 0x13, 0x1E));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEC, 0xF4));
    dark.setColor(QPalette::Button, QColor(0x34, 0x33, 0x42));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEC, 0xF4));
    dark.setColor(QPalette::Highlight, QColor(0x8B, 0x7C, 0xF6));
    return dark;
}

class UpdateViewTest : public UpdaterTest {
protected:
    // Writes the view as it looks now, light and dark, at twice the resolution, beside the tests.
    void snapshot(const QString& name) {
        const QPalette light = QApplication::palette();
        for (const auto& [suffix, palette] : {std::pair{"light", light}, std::pair{"dark", darkPalette()}}) {
            QApplication::setPalette(palette);
            UpdateView view(*updater);
            view.setFixedWidth(UpdateView::width);
            view.setFixedHeight(view.heightForWidth(UpdateView::width));
            QImage image(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(2);
            image.fill(palette.color(QPalette::Window));
            view.render(&image, {}, {}, QWidget::DrawChildren);
            const QString folder = QCoreApplication::applicationDirPath() + "/ostrelkit-snapshots";
            QDir().mkpath(folder);
            EXPECT_TRUE(image.save(folder + "/update-" + name + "-" + suffix + ".png"));
        }
        QApplication::setPalette(light);
    }
};

TEST_F(UpdateViewTest, EveryPhaseHasItsWords) {
    QSettings().setValue("OstrelAutoUpdate", false);
    QJsonObject loose = installedInfo();
    loose.remove("OstrelUpdateFeedURL");
    make(loose);
    EXPECT_EQ(UpdateView::texts(*updater),
              (Texts{"Updates aren’t available", "This copy of Dormio isn’t set up to update itself."}));
    snapshot("unavailable");

    make();
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Checking for updates…", ""}));
    server.serve("/feed.json", {200, "{}", std::nullopt, 0});
    updater->check(true);
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Checking for updates…", ""}));
    snapshot("checking");

    serveFeed({"2.0.0", "u"});
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(UpdateView::texts(*updater),
              (Texts{"You’re up to date", "Dormio 2.0.0 is the newest version."}));
    snapshot("up-to-date");

    server.serve("/feed.json", {404});
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::failed));
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Update problem", UpdateMessage::checkFailed}));
    snapshot("failed");

    UpdateFeed feed = publish("2.1.0");
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Dormio 2.1.0 is available", "You have 2.0.0."}));
    feed.notes = "Nights now show the moon’s phase.\nThe history reads twice as fast.";
    serveFeed(feed);
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Dormio 2.1.0 is available", *feed.notes}));
    snapshot("available");

    server.serve("/Dormio-2.1.0.zip", {200, "PK", 5000, 2});
    make().download(feed);
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Downloading Dormio 2.1.0…", ""}));
    snapshot("downloading");

    feed = publish("2.1.0");
    make().download(feed);
    ASSERT_TRUE(waitFor(Kind::ready));
    EXPECT_EQ(UpdateView::texts(*updater), (Texts{"Dormio 2.1.0 is ready", "You have 2.0.0."}));
    snapshot("ready");
}

TEST_F(UpdateViewTest, TheViewFollowsThePhaseAndOkClosesTheWindow) {
    serveFeed({"2.0.0", "u"});
    make();
    UpdateView::show(*updater);
    QWidget* window = WindowHost::window(UpdateView::windowID);
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Software Update");
    EXPECT_EQ(window->width(), UpdateView::width);
    auto* view = window->findChild<UpdateView*>();
    ASSERT_TRUE(view);
    const auto labels = view->findChildren<QLabel*>();
    auto* progress = view->findChild<QProgressBar*>();

    updater->check(true);
    EXPECT_EQ(labels.at(0)->text(), "Checking for updates…");
    EXPECT_TRUE(progress->isVisibleTo(view));
    EXPECT_EQ(progress->maximum(), 0); // busy
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(labels.at(0)->text(), "You’re up to date");
    EXPECT_EQ(labels.at(1)->text(), "Dormio 2.0.0 is the newest version.");
    EXPECT_FALSE(progress->isVisibleTo(view));

    view->findChild<QPushButton*>()->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(updater->phase(), Updater::Phase::upToDate());
}

} // namespace
} // namespace dormio
