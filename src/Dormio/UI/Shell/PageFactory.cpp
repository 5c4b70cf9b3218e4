#include "Dormio/UI/Shell/PageFactory.h"

#include "Dormio/UI/Pages/BatteryPage.h"
#include "Dormio/UI/Pages/HistoryPage.h"
#include "Dormio/UI/Pages/NightPage.h"
#include "Dormio/UI/Pages/RightNowPage.h"
#include "Dormio/UI/Pages/SettingsForm.h"
#include "Dormio/UI/Shell/PagePlaceholder.h"
#include "Dormio/UI/Shell/SettingsPage.h"

namespace dormio {

QWidget* makePage(Page page, Store& store, QWidget* parent) {
    switch (page) {
    case Page::night:
        return new NightPage(store, parent);
    case Page::history:
        return new HistoryPage(store, parent);
    case Page::now:
        return new RightNowPage(store, parent);
    case Page::battery:
        return new BatteryPage(store, parent);
    case Page::settings:
        return new SettingsPage(new SettingsForm(store, true), parent);
    }
    // Only a value outside the enumeration lands here: a plain page rather than none.
    return new PagePlaceholder(page, parent);
}

} // namespace dormio
