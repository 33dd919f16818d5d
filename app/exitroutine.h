#pragma once

#include "app/appstate.h"

namespace app {

// Runs ReleaseGlobals when main() leaves its scope, however it leaves, after the windows that were
// declared later have been destroyed.
class ExitRoutine
{
public:
    explicit ExitRoutine(AppState& state)
        : m_state(state)
    { }
    ~ExitRoutine() { ReleaseGlobals(m_state); }
    ExitRoutine(const ExitRoutine&) = delete;
    ExitRoutine& operator=(const ExitRoutine&) = delete;

private:
    AppState& m_state;
};

} // namespace app
