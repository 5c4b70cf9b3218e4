// The scripted demo played whole on a clock the test steps: its scenes, clicks and captions against the
// application's own windows, what each kind of store leaves out, and how a run fails.

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/DormioDemo.h"
#include "Dormio/DevModes/DemoDriver.h"
#include "Dormio/DevModes/DemoRules.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/DormioApp.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "OstrelKit/Capture/DemoAnchors.h"
#include "OstrelKit/KitClock.h"
#include "StoreTests.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>

namespace dormio::testing {
namespace {

const QStringList captionTexts = {"Last night, traced minute by minute", "What kept it up, and why",
                                  "A month of nights, one texture", "Quit what holds it awake",
                                  "Know what happens after lights out"};

class DemoScriptTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_TRUE(output.isValid());
    }

    void TearDown() override {
        script.reset();
        app.reset();
        Theme::drawAsActive(nullptr);
        Theme::setAppearance(std::nullopt);
        DormioDemo::shared().setPlotFrame({});
        StoreTest::TearDown();
    }

    // The application's own windows over a store of the test's.
    MainWindow& launch() {
        app = std::make_unique<DormioApp>(makeStore());
        app->launch();
        return *app->mainWindow();
    }

    // Plays the script into `folder` to its end, a tenth of a second of stepped time at a time with the
    // event loop between, so that the windows lay out and draw as they would; `during` runs once, the
    // sample data in and the recording not begun.
    void play(const QString& folder, const std::function<void()>& during = {}) {
        ::testing::internal::CaptureStdout();
        script.emplace(DemoDriver::play(folder, *store, clock, [this](int ended) { status = ended; }));
        bool prepared = false;
        for (int step = 0; !status && step < 600; ++step) {
            clock.advance(0.1);
            QCoreApplication::processEvents();
            if (!prepared && !store->nights().empty()) {
                prepared = true;
                if (during) during();
            }
        }
        console = QString::fromStdString(::testing::internal::GetCapturedStdout());
    }

    QString recording() const { return output.filePath("demo"); }

    QJsonDocument json(const QString& name) const {
        QFile in(recording() + "/" + name);
        return in.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(in.readAll()) : QJsonDocument();
    }

    QTemporaryDir output;
    KitClock clock{KitClock::Mode::step};
    std::unique_ptr<DormioApp> app;
    std::optional<Step> script;
    std::optional<int> status;
    QString console;
};

TEST_F(DemoScriptTest, PlaysTheFiveScenesOnTheMainWindowAndLeavesTheFourFiles) {
    MainWindow& window = launch();
    play(recording());

    ASSERT_EQ(status, 0) << console.toStdString();
    EXPECT_FALSE(console.contains("demo: no anchor")) << console.toStdString();

    const QJsonArray captions = json("captions.json").array();
    QStringList texts;
    for (const auto caption : captions)
        texts << caption.toObject()["text"].toString();
    EXPECT_EQ(texts.join(" | ").toStdString(), captionTexts.join(" | ").toStdString());

    // Each click lands on the centre of its view, as a fraction of the recorded window's frame.
    const QJsonObject events = json("events.json").object();
    const QJsonArray clicks = events["clicks"].toArray();
    ASSERT_EQ(clicks.size(), 7);
    const QRectF region = window.frameGeometry();
    const auto clickedAt = [&](int index) {
        const QJsonArray row = clicks[index].toArray();
        return QPointF(region.left() + row[1].toDouble() * region.width(),
                       region.top() + row[2].toDouble() * region.height());
    };
    // The sidebar holds still whatever the pages do: its rows are where the clicks went.
    const std::pair<int, QString> sidebar[] = {{1, "side-history"}, {4, "side-now"}, {6, "side-night"}};
    for (const auto& [at, anchor] : sidebar) {
        SCOPED_TRACE(anchor.toStdString());
        const std::optional<QRectF> frame = DemoAnchors::shared().frame(anchor);
        ASSERT_TRUE(frame);
        EXPECT_NEAR(clickedAt(at).x(), frame->center().x(), 1.0);
        EXPECT_NEAR(clickedAt(at).y(), frame->center().y(), 1.0);
    }

    // The recording lasts as the script's waits, moves and clicks add up: 26.5 s, and a frame more at the
    // end of each scrub.
    EXPECT_NEAR(events["duration"].toDouble(), 26.5 + 4.0 / 30, 0.1);
    EXPECT_EQ(json("project.json")["name"].toString(), "Dormio demo");
    EXPECT_EQ(store->page(), Page::night);
    EXPECT_EQ(store->demoState().demoHistorySpan(), 30);
    EXPECT_FALSE(store->demoState().demoHoverNight());
    for (const LiveRow& row : store->live())
        EXPECT_NE(row.identity.name, "Music");
    // The test's screen is smaller than the window can be: it keeps its least size, centred.
    EXPECT_EQ(window.frameGeometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center());
}

// A plain window stands in for the main window, with a small square marked for each anchor the script
// may click, so that each click says where it went.
class DemoScenesTest : public DemoScriptTest {
protected:
    void SetUp() override {
        DemoScriptTest::SetUp();
        makeStore();
        const std::vector<Night> month = DemoData::makeNights();
        const QStringList anchors = {"info-" + *DemoRules::darkWakeItem(month.back()),
                                     "side-history",
                                     "span30",
                                     "history-" +
                                         QString::fromStdString(*DemoRules::busiestRecentNight(month)),
                                     "side-now",
                                     "quit-Music",
                                     "side-night"};
        for (int index = 0; index < anchors.size(); ++index) {
            auto* square = new QWidget(&stand);
            square->setGeometry(20 + 40 * index, 20, 20, 20);
            demoAnchor(square, anchors[index]);
            names[square] = anchors[index];
        }
        stand.show();
        QObject::connect(store.get(), &Store::pageChanged, [this] { pages.push_back(store->page()); });
        QObject::connect(&store->demoState(), &DemoState::demoScrubChanged, [this] {
            if (store->demoState().demoScrub()) ++scrubSteps;
        });
        QObject::connect(&store->demoState(), &DemoState::demoHoverNightChanged, [this] {
            if (const auto& id = store->demoState().demoHoverNight()) hovered.push_back(*id);
        });
    }

    // The anchors clicked, in order, by where each click of "events.json" went.
    std::string clicked() const {
        QStringList clicks;
        const QRectF region = stand.frameGeometry();
        for (const auto click : json("events.json")["clicks"].toArray()) {
            const QJsonArray row = click.toArray();
            const QPointF at(region.left() + row[1].toDouble() * region.width(),
                             region.top() + row[2].toDouble() * region.height());
            const QWidget* square = stand.childAt(stand.mapFromGlobal(at).toPoint());
            clicks << (names.contains(square) ? names.at(square) : "elsewhere");
        }
        return clicks.join(", ").toStdString();
    }

    QWidget stand;
    std::map<const QWidget*, QString> names;
    std::vector<Page> pages;
    int scrubSteps = 0;
    std::vector<std::string> hovered;
};

TEST_F(DemoScenesTest, EachSceneLeavesOutWhatTheStoreLacksAndKeepsItsWaits) {
    const std::vector<Night> month = DemoData::makeNights();
    const QString darkWake = "info-" + *DemoRules::darkWakeItem(month.back());
    const QString busiest = "history-" + QString::fromStdString(*DemoRules::busiestRecentNight(month));
    struct Case {
        const char* store;
        std::function<void(Store&)> change;
        QStringList clicks;
        bool scrubs;
        bool musicQuit;
    };
    const Case cases[] = {
        {"the sample month",
         {},
         {darkWake, "side-history", "span30", busiest, "side-now", "quit-Music", "side-night"},
         true,
         true},
        {"no Music row",
         [](Store& s) {
             std::vector<LiveRow> live = s.live();
             std::erase_if(live, [](const LiveRow& row) { return row.identity.name == "Music"; });
             s.setLive(live);
         },
         {darkWake, "side-history", "span30", busiest, "side-now", "side-night"},
         true,
         false},
        {"no selected night",
         [](Store& s) { s.setNights({}); },
         {"side-history", "span30", "side-now", "quit-Music", "side-night"},
         false,
         true},
        // The sample's last night alone: nothing before it to choose from.
        {"one finished night",
         [&](Store& s) { s.setNights({month.back()}); },
         {darkWake, "side-history", "span30", "side-now", "quit-Music", "side-night"},
         true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.store);
        pages.clear();
        scrubSteps = 0;
        hovered.clear();
        status.reset();
        std::size_t liveRows = 0;
        play(recording(), [&] {
            if (c.change) c.change(*store);
            liveRows = store->live().size();
        });

        EXPECT_EQ(status, 0) << console.toStdString();
        EXPECT_EQ(clicked(), c.clicks.join(", ").toStdString());
        // Night, history, Right Now and back to the night, whatever was left out.
        EXPECT_EQ(pages, (std::vector<Page>{Page::history, Page::now, Page::night}));
        EXPECT_EQ(scrubSteps > 0, c.scrubs);
        EXPECT_EQ(hovered.size(), c.clicks.contains(busiest) ? 1u : 0u);
        EXPECT_EQ(store->live().size(), c.musicQuit ? liveRows - 1 : liveRows);
        // Without a night, the first scene is its caption alone, too short to keep.
        QStringList texts;
        for (const auto caption : json("captions.json").array())
            texts << caption.toObject()["text"].toString();
        EXPECT_EQ(texts.join(" | ").toStdString(),
                  (c.scrubs ? captionTexts : captionTexts.mid(1)).join(" | ").toStdString());
    }
}

// How a run ends when it cannot record, each with its status and its words on the console.
TEST_F(DemoScenesTest, ARunThatCannotRecordSaysWhyAndEndsWithStatusOne) {
    QFile inTheWay(output.filePath("file"));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    struct Case {
        const char* what;
        std::function<void(QWidget&)> window;
        QString folder;
        QString said;
    };
    const Case cases[] = {
        {"no main window", [](QWidget& w) { w.hide(); }, recording(), ""},
        {"a window the recorder cannot see", [](QWidget& w) { w.setAttribute(Qt::WA_DontShowOnScreen); },
         recording(),
         "demo failed: No frames were captured (0 failed). Is the window on screen inside the region?\n"},
        {"a folder that cannot be made", [](QWidget&) {}, output.filePath("file/demo"),
         "demo failed: Couldn’t make the folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        status.reset();
        stand.hide();
        stand.setAttribute(Qt::WA_DontShowOnScreen, false);
        stand.show();
        c.window(stand);
        play(c.folder);
        EXPECT_EQ(status, 1);
        const QString said = console.remove("demo: drawing the window as active (app not frontmost)\n");
        if (c.said.isEmpty())
            EXPECT_EQ(said, "");
        else
            EXPECT_TRUE(said.endsWith(c.said) || said.startsWith(c.said)) << said.toStdString();
        EXPECT_FALSE(QFile::exists(c.folder + "/events.json"));
    }
}

TEST_F(DemoScenesTest, WithoutTheVariableNothingIsTouched) {
    const QRect before = stand.geometry();
    const Appearance appearance = Theme::appearance();
    DemoDriver::run(
        *store, [](const char*) { return std::optional<std::string>(); }, clock);
    clock.advance(60);
    QCoreApplication::processEvents();

    EXPECT_FALSE(store->demoState().demo());
    EXPECT_TRUE(store->nights().empty());
    EXPECT_EQ(Theme::appearance(), appearance);
    EXPECT_EQ(stand.geometry(), before);
    EXPECT_TRUE(pages.empty());
}

} // namespace
} // namespace dormio::testing
