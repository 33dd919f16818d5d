#include "app/appstate.h"

namespace app {

void InitGlobals(AppState& state, std::unique_ptr<platform::Platform> platform)
{
    state.platform = std::move(platform);
    state.driveList.clear();
    state.droppedPaths.clear();
    state.webHost = std::make_unique<ui::WebHost>();
}

void ReleaseGlobals(AppState& state)
{
    if (state.releaseCount > 0)
        return;
    state.releaseCount = 1;
    state.driveList.clear();
    state.driveList.shrink_to_fit();
    state.droppedPaths.clear();
    state.droppedPaths.shrink_to_fit();
    state.webHost.reset();
}

} // namespace app
