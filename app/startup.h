#pragma once

#include "app/appstate.h"

namespace ui {
class MainWindow;
}

namespace app {

// Prepares the main window once it exists: privilege, top edge, drive list, drop registration.
void OnMainWindowCreated(AppState& state, ui::MainWindow& window);

// After a drop: a single item's path becomes the folder box's text, the root of the next scan.
void OnFilesDropped(AppState& state, ui::MainWindow& window, int count);

} // namespace app
