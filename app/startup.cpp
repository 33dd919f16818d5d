#include "app/startup.h"

#include "scan/drivelist.h"
#include "text/bytetext.h"
#include "ui/mainwindow.h"

#include <QComboBox>
#include <QFile>

namespace app {

namespace {

    constexpr int kTopEdge = 5;

} // namespace

void OnFilesDropped(AppState& state, ui::MainWindow& window, int count)
{
    // Several items name no single folder to scan; only the shown text changes, never the list.
    if (count != 1 || state.droppedPaths.empty())
        return;
    window.rootCombo()->setEditText(
        QFile::decodeName(QByteArray::fromStdString(state.droppedPaths.front())));
}

void OnMainWindowCreated(AppState& state, ui::MainWindow& window)
{
    platform::Platform& system = *state.platform;
    system.EnableDebugPrivilege();

    window.move(window.pos().x(), kTopEdge);

    QComboBox& roots = *window.rootCombo();
    roots.clear();
    scan::FillDriveList(system, state.driveList);
    // The system root is never offered, however the system spells its letter case.
    const std::string systemRoot = text::AsciiLower(system.SystemRoot());
    for (const std::string& root : state.driveList) {
        if (text::AsciiLower(root) != systemRoot)
            roots.addItem(QFile::decodeName(QByteArray::fromStdString(root)));
    }
    window.patternCombo()->setCurrentIndex(0);
    if (roots.count() > 0)
        roots.setCurrentIndex(0);

    if (!state.fileDrop)
        state.fileDrop = std::make_unique<ui::FileDrop>(system, state.droppedPaths);
    state.fileDrop->RegisterFileDrop(
        &window, [&state, &window](int count) { OnFilesDropped(state, window, count); }, 1);
}

} // namespace app
