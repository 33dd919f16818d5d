#pragma once

#include "platform/platform.h"
#include "ui/filedrop.h"
#include "ui/webhost.h"

#include <memory>
#include <string>
#include <vector>

namespace app {

// The program-wide state. main() owns the one instance and hands it to the windows; nothing in the
// core reaches into it.
struct AppState
{
    std::unique_ptr<platform::Platform> platform;
    std::vector<std::string> driveList;    // roots as the platform reports them
    std::vector<std::string> droppedPaths; // paths of the last accepted drop
    std::unique_ptr<ui::FileDrop> fileDrop; // the drop registration, made at the first one
    bool scanRunning = false;              // the last confirmed scan click asked for a walk
    int releaseCount = 0;                  // how often ReleaseGlobals has run; never above 1
    std::unique_ptr<ui::WebHost> webHost;  // hosts the help-video window's page
};

void InitGlobals(AppState& state, std::unique_ptr<platform::Platform> platform);
// The exit routine: runs once, when the event loop has ended.
void ReleaseGlobals(AppState& state);

} // namespace app
