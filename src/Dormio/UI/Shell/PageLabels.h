#pragma once

// What the sidebar calls each page: its title, which is also the page's own title until the page names
// itself, and its symbol.

#include "Dormio/Core/Page.h"

#include <QString>
#include <string>

namespace dormio::PageLabels {

QString title(Page page);
std::string symbol(Page page);

} // namespace dormio::PageLabels
