#include "app/appstate.h"
#include "app/exitroutine.h"
#include "app/linkhandlers.h"
#include "app/messageboxes.h"
#include "app/previewhandlers.h"
#include "app/reportserver.h"
#include "app/scanhandlers.h"
#include "app/startup.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    auto system = platform::CreateNativePlatform();
    ui::WebHost::PrepareProcess(system->RunsAsAdministrator()); // before QApplication exists
    QApplication application(argc, argv);
    app::AppState state;
    app::InitGlobals(state, std::move(system));
    const app::ExitRoutine exitRoutine(state);
    {
        ui::MainWindow window;
        app::QtMessageBoxes boxes;
        app::ScanHandlers scanHandlers(state, window, boxes);
        app::ReportServer reportServer(*state.platform, *window.reportBox());
        reportServer.Listen(); // without the socket the window works on, unreachable from outside
        app::PreviewHandlers previewHandlers(state, window);
        app::LinkHandlers linkHandlers(state, window);
        app::OnMainWindowCreated(state, window);
        window.show();
        // Ends when the last window of the program has closed, not merely the main window.
        application.exec();
    }
    return 0;
}
