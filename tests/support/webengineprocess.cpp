#include "platform/posix/posixplatform.h"
#include "ui/webhost.h"

namespace {

// Runs before main() creates the application object, which is the last moment the browser engine
// reads its environment. The tests run as root on build machines, where the engine needs its
// sandbox off to start at all.
const bool kEnginePrepared = [] {
    ui::WebHost::PrepareProcess(platform::posix::PosixPlatform().RunsAsAdministrator());
    return true;
}();

} // namespace
