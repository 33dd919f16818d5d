#include "app/appstate.h"
#include "app/previewhandlers.h"
#include "app/scanhandlers.h"
#include "tests/hostile/hostiletree.h"
#include "tests/support/holdingplatform.h"
#include "tests/support/temptree.h"
#include "tests/support/yesboxes.h"
#include "ui/mainwindow.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Lets the held read go once the window has begun to close, so that the close meets a worker that
// is busy inside a file, as it would on a slow drive.
class ReleaseOnClose final : public QObject
{
public:
    explicit ReleaseOnClose(testsupport::HoldingPlatform& platform)
        : m_platform(platform)
    {
    }
    ~ReleaseOnClose() override
    {
        if (m_releaser.joinable())
            m_releaser.join();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close && !m_releaser.joinable()) {
            // The handlers' own filter runs right after this one returns and ends the walk before
            // it waits; the delay only has to cover that handful of instructions.
            m_releaser = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                m_platform.Release();
            });
        }
        return false;
    }

private:
    testsupport::HoldingPlatform& m_platform;
    std::thread m_releaser;
};

class CleanExitTest : public ::testing::Test
{
protected:
    CleanExitTest()
    {
        auto holding = std::make_unique<testsupport::HoldingPlatform>();
        m_platform = holding.get();
        app::InitGlobals(m_state, std::move(holding));
        m_window = std::make_unique<ui::MainWindow>();
        m_scanning = std::make_unique<app::ScanHandlers>(m_state, *m_window, m_boxes);
        m_previewing = std::make_unique<app::PreviewHandlers>(m_state, *m_window);
        // Installed last, so it sees the close first.
        m_releaseOnClose = std::make_unique<ReleaseOnClose>(*m_platform);
        m_window->installEventFilter(m_releaseOnClose.get());
        m_window->patternCombo()->setCurrentIndex(0);
        m_window->rootCombo()->setEditText(QString::fromStdString(m_tree.rootText()));
        for (int i = 0; i < kFiles; ++i)
            m_tree.Write("f" + std::to_string(i) + ".doc", hostile::DamagedDocument());
        m_window->show();
    }

    // What the program does after its window has closed: the handlers go, then the window.
    void Exit()
    {
        m_previewing.reset();
        m_scanning.reset();
        m_window.reset();
        app::ReleaseGlobals(m_state);
    }

    // Closes the window while the walk is inside its first file, paused or not.
    void CloseDuringScan(bool paused)
    {
        m_platform->HoldReadsOf(".doc");
        QTest::mouseClick(m_window->scanBox(), Qt::LeftButton);
        m_platform->WaitUntilHeld();
        if (paused)
            QTest::mouseClick(m_window->pauseBox(), Qt::LeftButton);
        m_window->close();
        EXPECT_FALSE(m_scanning->controller().IsRunning());
        EXPECT_EQ(m_platform->heads(), 1); // the held file was the last one read
        Exit();
    }

    static constexpr int kFiles = 40;
    testsupport::TempTree m_tree;
    app::AppState m_state;
    testsupport::HoldingPlatform* m_platform = nullptr;
    testsupport::YesBoxes m_boxes;
    std::unique_ptr<ReleaseOnClose> m_releaseOnClose;
    std::unique_ptr<ui::MainWindow> m_window;
    std::unique_ptr<app::ScanHandlers> m_scanning;
    std::unique_ptr<app::PreviewHandlers> m_previewing;
};

TEST_F(CleanExitTest, ClosingDuringAScanStopsTheWalkInsideItsFile) { CloseDuringScan(false); }

TEST_F(CleanExitTest, ClosingDuringAPausedScanStopsTheWalkInsideItsFile) { CloseDuringScan(true); }

TEST_F(CleanExitTest, ClosingDuringADecodeDropsItsResultAndReadsNothingMore)
{
    const std::string held = m_tree.Write("held.jpg", hostile::DamagedDocument());
    m_platform->HoldReadsOf("held.jpg");
    int delivered = 0;
    QObject::connect(&m_previewing->controller(), &results::PreviewController::previewFinished,
                     m_window.get(), [&] { ++delivered; });
    m_previewing->PreviewRepairedImage(held);
    m_platform->WaitUntilHeld();
    m_previewing->PreviewRepairedImage(m_tree.rootText() + "f0.doc"); // waits behind the held one
    m_window->close();
    Exit();
    EXPECT_EQ(m_platform->wholeReads(), 1);
    QTest::qWait(20); // a result posted before the exit would arrive now
    EXPECT_EQ(delivered, 0);
}

} // namespace
