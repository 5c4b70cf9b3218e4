#include "Dormio/UI/Shell/PageFactory.h"

#include "Dormio/UI/Pages/BatteryPage.h"
#include "Dormio/UI/Pages/HistoryPage.h"
#include "Dormio/UI/Pages/NightPage.h"
#include "Dormio/UI/Pages/RightNowPage.h"
#include "Dormio/UI/Pages/SettingsForm.h"
#include "Dormio/UI/Shell/SettingsPage.h"

namespace dormio {

QWidget* makePage(Page page, Store& store, QWidget* parent) {
    switch (page) {
    case Page::history:
        return new HistoryPage(store, parent);
    case Page::now:
        return new RightNowPage(store, parent);
    case Page::battery:
        return new BatteryPage(store, parent);
    case Page::settings:
        return new SettingsPage(new SettingsForm(store, true), parent);
    case Page::night:
        break;
    }
    return new NightPage(store, parent);
}

} // namespace dormio
