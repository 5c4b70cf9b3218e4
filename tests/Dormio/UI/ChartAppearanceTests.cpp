// Every chart draws with the palette it is handed and with nothing else: a dark chart drawn while the app
// is light is the same picture as one drawn while the app is dark.

#include "ChartFixtures.h"
#include "ChartProbe.h"
#include "Dormio/UI/Charts/ActogramRow.h"
#include "Dormio/UI/Charts/DrainPlot.h"
#include "Dormio/UI/Charts/HealthGauge.h"
#include "Dormio/UI/Charts/HourRuler.h"
#include "Dormio/UI/Charts/Hypnogram.h"
#include "Dormio/UI/Charts/MiniHypnogram.h"
#include "Dormio/UI/Charts/RestTrend.h"

#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;

TEST(ChartAppearance, EachChartDrawsWithItsPaletteWhateverTheAppShows) {
    const BritishUtcClock clock;
    const Night night = ordinaryNight();
    Night inProgress = night;
    inProgress.inProgress = true;
    const std::vector<int64_t> scores{82, 64, 91, 45, 77};
    const std::vector<DrainPlot::Drain> drains{{1, 3}, {2, 4}, {10, 5}, {0, 6}};
    struct Chart {
        const char* name;
        QSizeF size;
        ChartPaint paint;
    };
    const Chart charts[] = {
        {"the night trace with its cursor and readout",
         {622, 214},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             Hypnogram::paint(p, s, night, night.start + 263.5 * 60, palette);
         }},
        {"the mini trace",
         {200, 30},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             MiniHypnogram::paint(p, s, night, true, palette);
         }},
        {"the actogram row, highlighted and in progress",
         {300, 12},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             ActogramRow::paint(p, s, inProgress, 12 * 3600, true, palette);
         }},
        {"the hour ruler",
         {480, 18},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             HourRuler::paint(p, s, night.start, 8 * 3600, palette);
         }},
        {"the rest trend",
         {480, 40},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             RestTrend::paint(p, s, scores, palette);
         }},
        {"the health gauge",
         {320, 58},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             HealthGauge::paint(p, s, 75, true, palette);
         }},
        {"the drain plot",
         {480, 140},
         [&](QPainter& p, QSizeF s, const CanvasPalette& palette) {
             DrainPlot::paint(p, s, drains, palette);
         }},
    };
    for (const Chart& chart : charts)
        for (const Appearance palette : bothAppearances) {
            QImage underApp[2];
            for (const Appearance app : bothAppearances) {
                const AppearanceScope scope(app);
                underApp[app == Appearance::dark] = drawChart(chart.paint, chart.size, palette);
            }
            EXPECT_EQ(underApp[0], underApp[1])
                << chart.name << " with the " << nameOf(palette) << " palette";
        }
}
