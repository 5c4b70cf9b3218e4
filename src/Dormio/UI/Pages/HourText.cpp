#include "Dormio/UI/Pages/HourText.h"

#include "Dormio/Core/Clock.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/Fmt.h"

namespace dormio {

QString hourText(int hour) {
    const Date now = currentDate();
    const Date today = Calendar::current().date(now, hour).value_or(now);
    return QString::fromStdString(Fmt::clockTime(today));
}

} // namespace dormio
