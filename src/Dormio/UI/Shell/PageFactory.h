#pragma once

// The view of each page of the main window. The page host asks for a new one whenever the page changes,
// so a page always starts from its own defaults. A page names itself through its window title, which the
// main window shows; one that does not is called by its sidebar title.

#include "Dormio/Core/Page.h"

class QWidget;

namespace dormio {

class Store;

QWidget* makePage(Page page, Store& store, QWidget* parent);

} // namespace dormio
