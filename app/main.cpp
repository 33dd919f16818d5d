#include "app/appstate.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::AppState state;
    app::InitGlobals(state, platform::CreateNativePlatform());
    const int code = 0;
    app::ReleaseGlobals(state);
    return code;
}
