#include "Dormio/UI/Charts/ScrubReadout.h"

#include "DormioKit/Fmt.h"
#include "DormioKit/ProcessNames.h"

namespace dormio::ScrubReadout {

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

Text text(const ScrubReading& reading) {
    Text text{qt(Fmt::clockTime(reading.date)), qt(label(reading.state)).toUpper(), {}, {}, {}};
    if (reading.charge) text.charge = qt(Fmt::percent(*reading.charge));
    if (!reading.event) return text;
    const NightEvent& event = *reading.event;
    text.event = qt(event.label);
    if (event.scheduledBy)
        text.holder = qt(*event.scheduledBy);
    else if (event.culprit)
        text.holder = QStringLiteral("Held up by ") + qt(ProcessNames::friendly(*event.culprit));
    return text;
}

} // namespace dormio::ScrubReadout
