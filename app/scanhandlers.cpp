#include "app/scanhandlers.h"

#include "app/appstate.h"
#include "app/messageboxes.h"
#include "results/resultsmodel.h"
#include "ui/mainwindow.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace app {

namespace {

const QString kConfirmText = QStringLiteral(
    "本软件需要[客服远程支持],很多人不会用,防乱用,改成[修复预览],不会修改用户文件\r\n\r\n");
const QString kRefusedText = QStringLiteral("不要扫c盘");

std::string Bytes(const QString& text) { return QFile::encodeName(text).toStdString(); }

} // namespace

ScanHandlers::ScanHandlers(AppState& state, ui::MainWindow& window, MessageBoxes& boxes)
    : m_state(state)
    , m_window(window)
    , m_boxes(boxes)
    , m_controller(*state.platform)
{
    connect(window.scanBox(), &QPushButton::clicked, this, &ScanHandlers::OnScanClicked);
    connect(window.pauseBox(), &QPushButton::clicked, this, &ScanHandlers::OnPauseClicked);
    connect(window.endButton(), &QPushButton::clicked, this, &ScanHandlers::OnEndClicked);
    connect(window.reportBox(), &QLineEdit::textChanged, this, &ScanHandlers::OnReportBoxChanged);

    results::ResultsModel* model = window.resultsModel();
    connect(&m_controller, &scan::ScanController::rowsFound, model,
            [model](std::vector<results::ResultRow> rows) { model->AppendRows(std::move(rows)); });
    connect(&m_controller, &scan::ScanController::statusChanged, &window,
            &ui::MainWindow::SetStatus);
    connect(&m_controller, &scan::ScanController::finished, this, &ScanHandlers::OnWalkFinished);
    window.installEventFilter(this);
}

ScanHandlers::~ScanHandlers() { m_controller.Join(); }

void ScanHandlers::OnScanClicked()
{
    if (!m_boxes.AskYesNo(kConfirmText))
        return;
    m_state.scanRunning = m_window.scanBox()->isChecked();
    // A walk that still runs is stopped before the list empties, so none of its rows survive.
    m_controller.Join();
    m_window.resultsModel()->Clear();
    RunScan();
}

void ScanHandlers::RunScan()
{
    m_window.SetStatus(QStringLiteral("扫描"));
    const QComboBox& patterns = *m_window.patternCombo();
    const int index = patterns.currentIndex();
    const std::string pattern
        = index >= 0 && index < patterns.count() ? Bytes(patterns.itemText(index)) : std::string();
    if (pattern.empty())
        return;
    const std::string root = Bytes(m_window.rootCombo()->currentText());
    if (m_state.platform->IsSystemRoot(root)) {
        m_window.SetStatus(kRefusedText);
        m_boxes.Tell(kRefusedText);
        return;
    }
    if (!m_state.scanRunning) {
        OnWalkFinished(false); // a walk told to stop before it starts visits nothing
        return;
    }
    m_controller.Start(root, pattern);
}

void ScanHandlers::OnPauseClicked()
{
    QPushButton& pause = *m_window.pauseBox();
    if (pause.isChecked()) {
        m_controller.Pause();
        m_window.SetStatus(QStringLiteral("暂停"));
        pause.setText(QStringLiteral("继续"));
    } else {
        m_controller.Continue();
        m_window.SetStatus(QStringLiteral("继续"));
        pause.setText(QStringLiteral("暂停"));
    }
}

void ScanHandlers::OnEndClicked()
{
    ClearCheckMarks();
    m_state.scanRunning = false;
    m_controller.End();
    m_window.SetStatus(QStringLiteral("结束"));
    m_state.platform->TrimWorkingSet();
}

void ScanHandlers::OnReportBoxChanged()
{
    QLineEdit& box = *m_window.reportBox();
    const QString text = box.text();
    if (text.isEmpty())
        return;
    m_window.resultsModel()->AddResultRow(results::RowStatus::ProcessEnded, Bytes(text));
    box.setText(QString()); // raises the change again, which returns above
}

bool ScanHandlers::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Close)
        m_controller.Join();
    return QObject::eventFilter(watched, event);
}

void ScanHandlers::OnWalkFinished(bool endedByUser)
{
    // After 结束 the status keeps saying so; the walk's return does not overwrite it.
    if (endedByUser)
        return;
    m_window.SetStatus(QStringLiteral("扫描完成"));
    ClearCheckMarks();
}

void ScanHandlers::ClearCheckMarks()
{
    m_window.scanBox()->setChecked(false);
    m_window.pauseBox()->setChecked(false);
}

} // namespace app
