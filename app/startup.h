#pragma once

#include "app/appstate.h"

namespace ui {
class MainWindow;
}

namespace app {

// Prepares the main window once it exists: privilege, top edge, drive list, drop registration.
void OnMainWindowCreated(AppState& state, ui::MainWindow& window);

} // namespace app
