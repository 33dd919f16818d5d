#include "app/appstate.h"
#include "app/messageboxes.h"
#include "app/scanhandlers.h"
#include "results/resultsmodel.h"
#include "tests/support/waitfor.h"
#include "tests/support/holdingplatform.h"
#include "tests/support/temptree.h"
#include "ui/mainwindow.h"
#include "ui/tiledlabel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Answers every question as told and remembers what was asked.
class AnsweringBoxes final : public app::MessageBoxes
{
public:
    bool AskYesNo(const QString& text) override
    {
        questions << text;
        return answer;
    }
    void Tell(const QString& text) override { notices << text; }

    bool answer = true;
    QStringList questions;
    QStringList notices;
};

std::string Inverted(std::string bytes)
{
    for (std::size_t i = 0; i < 100 && i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    return bytes;
}

class ScanHandlersTest : public ::testing::Test
{
protected:
    ScanHandlersTest()
    {
        auto holding = std::make_unique<testsupport::HoldingPlatform>();
        m_platform = holding.get();
        app::InitGlobals(m_state, std::move(holding));
        m_handlers = std::make_unique<app::ScanHandlers>(m_state, m_window, m_boxes);
        m_window.patternCombo()->setCurrentIndex(0);
        SetRoot(m_tree.rootText());
    }

    void SetRoot(const std::string& root)
    {
        m_window.rootCombo()->setEditText(QString::fromStdString(root));
    }
    QString Status() const { return m_window.statusLabel()->text(); }
    int Rows() const { return m_window.resultsModel()->rowCount(); }
    void ClickScan() { QTest::mouseClick(m_window.scanBox(), Qt::LeftButton); }
    void ClickPause() { QTest::mouseClick(m_window.pauseBox(), Qt::LeftButton); }
    void ClickEnd() { QTest::mouseClick(m_window.endButton(), Qt::LeftButton); }
    // Damaged documents that the walk lists, one per folder level.
    void WriteDamagedFiles(int count)
    {
        for (int i = 0; i < count; ++i)
            m_tree.Write("f" + std::to_string(i) + ".doc", Inverted(std::string(300, 'd')));
    }

    testsupport::TempTree m_tree;
    ui::MainWindow m_window;
    app::AppState m_state;
    testsupport::HoldingPlatform* m_platform = nullptr;
    AnsweringBoxes m_boxes;
    std::unique_ptr<app::ScanHandlers> m_handlers;
};

TEST_F(ScanHandlersTest, AConfirmedScanListsDamagedFilesAndEndsWithItsStatus)
{
    WriteDamagedFiles(3);
    m_tree.Write("sub/healthy.pdf", "%PDF" + std::string(200, 'p'));
    m_tree.Write("sub/broken.pdf", Inverted("%PDF" + std::string(200, 'p')));
    ClickScan();
    ASSERT_EQ(m_boxes.questions.size(), 1);
    EXPECT_EQ(m_boxes.questions[0],
              QStringLiteral("本软件需要[客服远程支持],很多人不会用,防乱用,改成[修复预览],不会修改用户文件\r\n\r\n"));
    FM_TRY_EQ(Status(), QStringLiteral("扫描完成"));
    EXPECT_EQ(Rows(), 4);
    EXPECT_FALSE(m_window.scanBox()->isChecked());
    EXPECT_FALSE(m_window.pauseBox()->isChecked());
    EXPECT_TRUE(m_state.scanRunning);
    EXPECT_EQ(m_window.resultsModel()->CellText(3, 2),
              QString::fromStdString(m_tree.rootText() + "sub/broken.pdf"));
}

TEST_F(ScanHandlersTest, DecliningChangesNothingButTheBox)
{
    WriteDamagedFiles(1);
    m_window.resultsModel()->AddResultRow(results::RowStatus::Repairable, "/kept");
    m_window.SetStatus(QStringLiteral("before"));
    m_boxes.answer = false;
    ClickScan();
    QTest::qWait(50);
    EXPECT_TRUE(m_window.scanBox()->isChecked());
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Status(), QStringLiteral("before"));
}

TEST_F(ScanHandlersTest, RootsThatAreRefusedOrNeverWalked)
{
    WriteDamagedFiles(1);
    const struct
    {
        std::string root;
        bool checkedFirst; // the click unchecks the box: the walk visits nothing
        QString status;
        bool refused;
    } cases[] = {
        { "/", false, QStringLiteral("不要扫c盘"), true },
        { "//", false, QStringLiteral("不要扫c盘"), true },
        { "/.", false, QStringLiteral("不要扫c盘"), true },
        { "", false, QStringLiteral("不要扫c盘"), true },
        { m_tree.rootText(), true, QStringLiteral("扫描完成"), false },
    };
    for (const auto& c : cases) {
        m_boxes.notices.clear();
        m_window.resultsModel()->AddResultRow(results::RowStatus::Repairable, "/old");
        m_window.scanBox()->setChecked(c.checkedFirst);
        SetRoot(c.root);
        ClickScan();
        EXPECT_EQ(Status(), c.status) << c.root;
        EXPECT_EQ(Rows(), 0) << c.root;
        EXPECT_EQ(m_boxes.notices, c.refused ? QStringList { QStringLiteral("不要扫c盘") } : QStringList())
            << c.root;
        EXPECT_EQ(m_window.scanBox()->isChecked(), c.refused) << c.root;
        EXPECT_EQ(m_platform->heads(), 0) << c.root;
    }
}

TEST_F(ScanHandlersTest, PauseHoldsTheWalkContinueReleasesItEndStopsIt)
{
    WriteDamagedFiles(6);
    m_platform->HoldReadsOf(".doc");
    ClickScan();
    m_platform->WaitUntilHeld(); // the walk is inside its first file

    ClickPause();
    EXPECT_EQ(Status(), QStringLiteral("暂停"));
    EXPECT_EQ(m_window.pauseBox()->text(), QStringLiteral("继续"));
    m_platform->Release();
    QTest::qWait(100); // the walk finishes its file and waits at the gate
    EXPECT_EQ(m_platform->heads(), 1);
    EXPECT_EQ(Status(), QStringLiteral("暂停")); // the walk's texts do not cover the pause

    ClickPause();
    EXPECT_EQ(m_window.pauseBox()->text(), QStringLiteral("暂停"));
    FM_TRY_EQ(Status(), QStringLiteral("扫描完成"));
    EXPECT_EQ(m_platform->heads(), 6);
    EXPECT_EQ(Rows(), 6);
}

TEST_F(ScanHandlersTest, EndDuringAPausedWalkKeepsItsStatusAndCaption)
{
    WriteDamagedFiles(6);
    m_platform->HoldReadsOf(".doc");
    ClickScan();
    m_platform->WaitUntilHeld();
    ClickPause();
    m_platform->Release();
    ClickEnd();
    EXPECT_FALSE(m_window.scanBox()->isChecked());
    EXPECT_FALSE(m_window.pauseBox()->isChecked());
    EXPECT_EQ(m_window.pauseBox()->text(), QStringLiteral("继续"));
    FM_TRY_TRUE(!m_handlers->controller().IsRunning());
    EXPECT_EQ(Status(), QStringLiteral("结束")); // not overwritten by the walk's return
    EXPECT_FALSE(m_state.scanRunning);
    EXPECT_LE(m_platform->heads(), 1);
}

TEST_F(ScanHandlersTest, ANewScanEndsAndJoinsTheRunningOneBeforeTheListEmpties)
{
    WriteDamagedFiles(3);
    m_platform->HoldReadsOf("f0.doc");
    ClickScan();
    m_platform->WaitUntilHeld();
    m_window.scanBox()->setChecked(false); // a second click will check it again
    // The click joins the first walk, which is still inside its read: let the read end meanwhile.
    std::jthread releaser([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        m_platform->Release();
    });
    ClickScan();
    FM_TRY_EQ(Status(), QStringLiteral("扫描完成"));
    EXPECT_EQ(Rows(), 3); // nothing of the first walk is left over
}

TEST_F(ScanHandlersTest, ClosingTheWindowEndsAPausedWalk)
{
    WriteDamagedFiles(3);
    m_platform->HoldReadsOf(".doc");
    ClickScan();
    m_platform->WaitUntilHeld();
    ClickPause();
    m_platform->Release();
    m_window.close();
    EXPECT_FALSE(m_handlers->controller().IsRunning());
}

TEST_F(ScanHandlersTest, TextInTheReportBoxBecomesOneRow)
{
    m_window.resultsModel()->AddResultRow(results::RowStatus::Repairable, "/a.doc");
    m_window.reportBox()->setText(QStringLiteral("/proc/进程.exe"));
    m_window.reportBox()->setText(QString());
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(m_window.resultsModel()->CellText(1, 0), QStringLiteral("1"));
    EXPECT_EQ(m_window.resultsModel()->CellText(1, 1), QStringLiteral("结束进程"));
    EXPECT_EQ(m_window.resultsModel()->CellText(1, 2), QStringLiteral("/proc/进程.exe"));
    EXPECT_TRUE(m_window.reportBox()->text().isEmpty());
}

} // namespace
