#include "app/previewhandlers.h"

#include "app/appstate.h"
#include "results/resultsmodel.h"
#include "scan/classifier.h"
#include "text/bytetext.h"
#include "ui/drawingpanel.h"
#include "ui/mainwindow.h"
#include "ui/resultsview.h"

#include <QFile>
#include <QLabel>

namespace app {

PreviewHandlers::PreviewHandlers(AppState& state, ui::MainWindow& window)
    : m_window(window)
    , m_controller(*state.platform, window.previewPanel()->width(), window.previewPanel()->height())
{
    connect(window.resultsView(), &ui::ResultsView::currentRowChanged, this,
            &PreviewHandlers::OnCurrentRowChanged);
    connect(&m_controller, &results::PreviewController::previewFinished, this,
            &PreviewHandlers::OnPreviewFinished);
}

void PreviewHandlers::OnCurrentRowChanged()
{
    const int row = m_window.resultsView()->SelectedRow();
    // The exact bytes of the row, not its shown text: a name that is not valid UTF-8 must still
    // reach the same file.
    const std::string path(m_window.resultsModel()->PathBytes(row));
    const std::string extension = text::AsciiLower(scan::FileExtension(path));
    if (extension == "jpg" || extension == "gif")
        PreviewRepairedImage(path);
}

void PreviewHandlers::PreviewRepairedImage(const std::string& path)
{
    m_window.previewPanel()->ClearPicture();
    m_controller.Request(path);
}

void PreviewHandlers::OnPreviewFinished(const std::string& path, results::PreviewOutcome outcome,
                                        const QImage& picture)
{
    if (results::SetsStatus(outcome))
        m_window.SetStatus(QFile::decodeName(QByteArray::fromStdString(path)));
    if (outcome == results::PreviewOutcome::Image) {
        m_window.previewPanel()->SetPicture(picture);
        m_window.previewNotice()->hide();
    } else {
        m_window.previewNotice()->show();
    }
}

} // namespace app
