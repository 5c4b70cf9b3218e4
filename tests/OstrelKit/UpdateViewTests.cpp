#include "Gallery.h"
#include "OstrelKit/Windows/UpdateView.h"
#include "OstrelKit/Windows/WindowHost.h"
#include "UpdaterFixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>

namespace dormio {
namespace {

using namespace test;
using Content = UpdateView::Content;
using Indicator = UpdateView::Indicator;
using Note = UpdateView::Note;

// Stands in for the desktop's web browser.
class Browser : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// A stand-in application icon, so that the pictures show where it goes.
QIcon moonIcon() {
    QPixmap pixmap(128, 128);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3A, 0x1C, 0x71));
    painter.drawRoundedRect(QRectF(4, 4, 120, 120), 28, 28);
    painter.setBrush(QColor(0xF4, 0xE9, 0xC8));
    painter.drawEllipse(QRectF(30, 28, 70, 70));
    painter.setBrush(QColor(0x3A, 0x1C, 0x71));
    painter.drawEllipse(QRectF(50, 18, 64, 64));
    return QIcon(pixmap);
}

class UpdateViewTest : public UpdaterTest {
protected:
    Browser browser;

    void SetUp() override {
        UpdaterTest::SetUp();
        QGuiApplication::setWindowIcon(moonIcon());
        for (const char* scheme : {"http", "https", "file", "javascript"})
            QDesktopServices::setUrlHandler(scheme, &browser, "open");
    }
    void TearDown() override {
        for (const char* scheme : {"http", "https", "file", "javascript"})
            QDesktopServices::unsetUrlHandler(scheme);
        UpdateView::closeWindow();
        UpdaterTest::TearDown();
    }

    void picture(const QString& name) {
        EXPECT_TRUE(writeGallery("update-window", name, UpdateView::width,
                                 [this] { return new UpdateView(*updater); }));
    }

    // The update window on screen, showing this test's updater.
    UpdateView* window() {
        UpdateView::show(*updater);
        QWidget* window = WindowHost::window(UpdateView::windowID);
        return window ? window->findChild<UpdateView*>() : nullptr;
    }
    static bool windowOpen() {
        QWidget* window = WindowHost::window(UpdateView::windowID);
        return window && window->isVisible();
    }
    static QPushButton* button(UpdateView* view, const QString& text) {
        for (auto* button : view->findChildren<QPushButton*>())
            if (button->isVisibleTo(view) && QString(button->text()).replace("&&", "&") == text)
                return button;
        return nullptr;
    }

    InstallRules unwritable() {
        InstallRules rules;
        rules.writable = [](const QString&) { return false; };
        return rules;
    }
};

TEST_F(UpdateViewTest, EveryPhaseHasItsWordsAndButtons) {
    const QStringList ok{"OK"};
    QSettings().setValue("OstrelAutoUpdate", false);
    QJsonObject loose = installedInfo();
    loose.remove("OstrelUpdateFeedURL");
    make(loose);
    EXPECT_EQ(UpdateView::content(*updater),
              (Content{"Updates aren’t available", "This copy of Dormio isn’t set up to update itself.",
                       Indicator::none, Note::none, ok}));
    picture("unavailable");

    make();
    const Content checking{"Checking for updates…", "", Indicator::spinner, Note::none, ok};
    EXPECT_EQ(UpdateView::content(*updater), checking); // idle looks like checking
    server.serve("/feed.json", {200, "{}", std::nullopt, 0});
    updater->check(true);
    EXPECT_EQ(UpdateView::content(*updater), checking);
    picture("checking");

    serveFeed({"2.0.0", "u"});
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(UpdateView::content(*updater),
              (Content{"You’re up to date", "Dormio 2.0.0 is the newest version.", Indicator::none,
                       Note::none, ok}));
    picture("up-to-date");

    server.serve("/feed.json", {404});
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::failed));
    EXPECT_EQ(UpdateView::content(*updater),
              (Content{"Update problem", UpdateMessage::checkFailed, Indicator::none, Note::none, ok}));
    picture("failed");

    UpdateFeed feed = publish("2.1.0");
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    const QStringList download{"Later", "Download & Install"};
    EXPECT_EQ(UpdateView::content(*updater), (Content{"Dormio 2.1.0 is available", "You have 2.0.0.",
                                                      Indicator::none, Note::none, download}));
    feed.notes = "Nights now show the moon’s phase.\nThe history reads twice as fast.";
    serveFeed(feed);
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(UpdateView::content(*updater),
              (Content{"Dormio 2.1.0 is available", *feed.notes, Indicator::none, Note::none, download}));
    picture("available");

    make(installedInfo(),
         [&] {
             UpdaterEnvironment environment = UpdaterTest::environment();
             environment.installRules = unwritable();
             return environment;
         }())
        .check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(UpdateView::content(*updater), (Content{"Dormio 2.1.0 is available",
                                                      *feed.notes,
                                                      Indicator::none,
                                                      Note::moveToInstall,
                                                      {"Later", "Open Download Page"}}));
    EXPECT_EQ(UpdateView::noteText(Note::moveToInstall, "Dormio"),
              "Move Dormio to a folder of your own on this computer, such as Applications in your home "
              "folder, to get updates automatically.");
    picture("available-elsewhere");

    server.serve("/Dormio-2.1.0.zip", {200, "PK", 5000, 2});
    make().download(feed);
    EXPECT_EQ(UpdateView::content(*updater),
              (Content{"Downloading Dormio 2.1.0…", "", Indicator::bar, Note::none, {}}));
    picture("downloading");

    feed = publish("2.1.0");
    make().download(feed);
    ASSERT_TRUE(waitFor(Kind::ready));
    EXPECT_EQ(UpdateView::content(*updater), (Content{"Dormio 2.1.0 is ready",
                                                      "You have 2.0.0.",
                                                      Indicator::none,
                                                      Note::installsAtQuit,
                                                      {"Later", "Restart Now"}}));
    EXPECT_EQ(UpdateView::noteText(Note::installsAtQuit, "Dormio"),
              "It installs automatically the next time you quit Dormio.");
    picture("ready");
}

// Without an archive, or without the key to check it, an update is only ever a web page.
TEST_F(UpdateViewTest, AnUpdateThatCannotBeCheckedIsOfferedAsItsPage) {
    QSettings().setValue("OstrelAutoUpdate", false);
    UpdateFeed feed = publish("2.1.0");
    feed.download.reset();
    serveFeed(feed);
    make().check(false);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(UpdateView::content(*updater).buttons, (QStringList{"Later", "Open Download Page"}));
    EXPECT_EQ(UpdateView::content(*updater).note, Note::none);

    publish("2.1.0");
    QJsonObject keyless = installedInfo();
    keyless.remove("OstrelUpdatePublicKey");
    make(keyless).check(false);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(UpdateView::content(*updater).buttons, (QStringList{"Later", "Open Download Page"}));
}

TEST_F(UpdateViewTest, TheViewFollowsThePhaseAndOkClosesTheWindow) {
    serveFeed({"2.0.0", "u"});
    make();
    UpdateView* view = window();
    ASSERT_TRUE(view);
    QWidget* host = WindowHost::window(UpdateView::windowID);
    EXPECT_EQ(host->windowTitle(), "Software Update");
    EXPECT_EQ(host->width(), UpdateView::width);
    const auto labels = view->findChildren<QLabel*>();
    auto* progress = view->findChild<QProgressBar*>();

    updater->check(true);
    EXPECT_EQ(labels.at(0)->text(), "Checking for updates…");
    EXPECT_FALSE(progress->isVisibleTo(view));
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(labels.at(0)->text(), "You’re up to date");
    EXPECT_FALSE(button(view, "Later"));

    button(view, "OK")->click();
    EXPECT_FALSE(windowOpen());
    EXPECT_EQ(updater->phase(), Updater::Phase::upToDate());
}

TEST_F(UpdateViewTest, DownloadAndInstallKeepsTheWindowOpenThroughTheDownload) {
    QSettings().setValue("OstrelAutoUpdate", false);
    const UpdateFeed feed = publish("2.1.0");
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    UpdateView* view = window();
    button(view, "Download & Install")->click();
    EXPECT_EQ(updater->phase().kind, Kind::downloading);
    EXPECT_TRUE(view->findChild<QProgressBar*>()->isVisibleTo(view));
    for (auto* each : view->findChildren<QPushButton*>())
        EXPECT_FALSE(each->isVisibleTo(view)) << each->text().toStdString();
    ASSERT_TRUE(waitFor(Kind::ready));
    EXPECT_TRUE(windowOpen());
    EXPECT_EQ(view->findChild<QProgressBar*>()->value(), 1000);

    // Return presses the default button: here "Restart Now", which quits to install and start again.
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, 2000));
    EXPECT_TRUE(updater->relaunchAfterInstall());
    EXPECT_EQ(feed.version, updater->phase().feed->version);
}

TEST_F(UpdateViewTest, OpenDownloadPageOpensOnlyAWebPage) {
    QSettings().setValue("OstrelAutoUpdate", false);
    const std::pair<const char*, bool> pages[] = {
        {"https://dormio.example/release", true},
        {"http://dormio.example/release", true},
        {"javascript:alert(1)", false},
        {"file:///etc/passwd", false},
        {"not a page", false},
    };
    for (const auto& [page, opens] : pages) {
        browser.opened.clear();
        serveFeed({"2.1.0", page});
        make().check(true);
        ASSERT_TRUE(waitFor(Kind::available)) << page;
        UpdateView* view = window();
        button(view, "Open Download Page")->click();
        EXPECT_EQ(browser.opened, opens ? QList<QUrl>{QUrl(page)} : QList<QUrl>{}) << page;
        EXPECT_FALSE(windowOpen()) << page;
        EXPECT_EQ(updater->phase().kind, Kind::available) << page;
    }
}

TEST_F(UpdateViewTest, LaterClosesTheWindowAndLeavesTheUpdateWhereItIs) {
    publish("2.1.0");
    make().check(false);
    ASSERT_TRUE(waitFor(Kind::ready));
    button(window(), "Later")->click();
    EXPECT_FALSE(windowOpen());
    EXPECT_EQ(updater->phase().kind, Kind::ready);
    EXPECT_EQ(quits, 0);
}

// Notes come from the feed: shown as they are written, never as markup, and scrolling when long.
TEST_F(UpdateViewTest, LongNotesScrollAndMarkupIsShownAsText) {
    QSettings().setValue("OstrelAutoUpdate", false);
    UpdateFeed feed = publish("2.1.0");
    QStringList lines;
    for (int line = 1; line <= 40; ++line)
        lines << QStringLiteral("%1. <b>Faster</b> nights & <a href='x'>calmer</a> mornings.").arg(line);
    feed.notes = lines.join('\n');
    serveFeed(feed);
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::available));
    UpdateView* view = window();
    auto* notes = view->findChild<QScrollArea*>();
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->height(), UpdateView::maxNotesHeight);
    auto* text = qobject_cast<QLabel*>(notes->widget());
    EXPECT_EQ(text->textFormat(), Qt::PlainText);
    EXPECT_EQ(text->text(), *feed.notes);
    QWidget* host = WindowHost::window(UpdateView::windowID);
    EXPECT_LT(host->height(), 500);
    picture("available-long-notes");
}

} // namespace
} // namespace dormio

#include "UpdateViewTests.moc"
