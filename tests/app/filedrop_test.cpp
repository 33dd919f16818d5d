#include "app/appstate.h"
#include "app/scanhandlers.h"
#include "app/startup.h"
#include "platform/posix/posixplatform.h"
#include "results/resultsmodel.h"
#include "tests/support/forwardingplatform.h"
#include "tests/support/holdingplatform.h"
#include "tests/support/temptree.h"
#include "tests/support/waitfor.h"
#include "tests/support/yesboxes.h"
#include "ui/filedrop.h"
#include "ui/mainwindow.h"
#include "ui/tiledlabel.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>

namespace {

QUrl FileUrl(const std::string& path)
{
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

// Drags mime onto target and drops it there, as a file manager would; true when it was accepted.
bool Drop(QWidget* target, const QMimeData& mime)
{
    const QPointF point(4, 4);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

bool DropPaths(QWidget* target, const std::vector<std::string>& paths)
{
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls << FileUrl(path);
    QMimeData mime;
    mime.setUrls(urls);
    return Drop(target, mime);
}

std::string Bytes(const QString& text) { return QFile::encodeName(text).toStdString(); }

// The main window as start-up leaves it: drops registered with the program's own callback.
class FileDropTest : public ::testing::Test
{
protected:
    FileDropTest()
    {
        app::InitGlobals(m_state, std::make_unique<platform::posix::PosixPlatform>());
        m_drop.RegisterFileDrop(
            &m_window, [this](int count) { app::OnFilesDropped(m_state, m_window, count); }, 1);
        m_window.rootCombo()->setEditText(QStringLiteral("/before/"));
    }
    std::string RootText() const { return Bytes(m_window.rootCombo()->currentText()); }

    testsupport::TempTree m_tree;
    ui::MainWindow m_window;
    app::AppState m_state;
    platform::posix::PosixPlatform m_system;
    ui::FileDrop m_drop { m_system, m_state.droppedPaths };
};

TEST_F(FileDropTest, ASingleItemBecomesTheRootTextAndPlainFoldersGetTheSeparator)
{
    const std::string folder = m_tree.MakeDir("plain");
    const std::string file = m_tree.Write("doc.pdf", "x");
    // Deeper than the 259 bytes a shell buffer holds: the whole path arrives, never a cut one.
    std::string deep = m_tree.rootText() + std::string(80, 'a');
    for (int level = 0; level < 4; ++level)
        deep += "/" + std::string(80, char('b' + level));
    std::filesystem::create_directories(deep);
    const std::string spaced = m_tree.MakeDir("名 with 100% spaces");

    const struct
    {
        std::string dropped;
        std::string shown;
    } cases[] = {
        { folder, folder + "/" },
        { folder + "/", folder + "/" },
        { "/", "/" },
        { file, file },
        { deep, deep + "/" },
        { spaced, spaced + "/" },
        { m_tree.rootText() + "missing", m_tree.rootText() + "missing" },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(DropPaths(&m_window, { c.dropped })) << c.dropped;
        EXPECT_EQ(RootText(), c.shown) << c.dropped;
        EXPECT_EQ(m_state.droppedPaths, std::vector<std::string> { c.shown });
    }
    EXPECT_GT(deep.size(), 300u);
}

TEST_F(FileDropTest, SeveralItemsAreAllKeptButLeaveTheRootText)
{
    const std::string folder = m_tree.MakeDir("one");
    const std::string file = m_tree.Write("two.doc", "x");
    ASSERT_TRUE(DropPaths(&m_window, { file, folder, "/" }));
    EXPECT_EQ(RootText(), "/before/");
    EXPECT_EQ(m_state.droppedPaths, (std::vector<std::string> { file, folder + "/", "/" }));
}

TEST_F(FileDropTest, NameBytesThatAreNotUtf8ArriveExactly)
{
    const std::string name = m_tree.rootText() + "caf\xE9";
    std::filesystem::create_directory(name);
    ASSERT_TRUE(DropPaths(&m_window, { name }));
    EXPECT_EQ(m_state.droppedPaths, std::vector<std::string> { name + "/" });
}

TEST_F(FileDropTest, FilesDroppedOnAChildAreOursButTextAndRemoteAddressesAreNot)
{
    QLineEdit* edit = m_window.rootCombo()->lineEdit();
    const std::string folder = m_tree.MakeDir("child");
    ASSERT_TRUE(DropPaths(edit, { folder }));
    EXPECT_EQ(RootText(), folder + "/");

    QMimeData remote;
    remote.setUrls({ QUrl("https://example.org/a"), FileUrl(folder) });
    QMimeData text;
    text.setText(QStringLiteral("typed"));
    for (const QMimeData* mime : { &remote, &text }) {
        m_state.droppedPaths = { "kept" };
        Drop(&m_window, *mime);
        EXPECT_EQ(m_state.droppedPaths, std::vector<std::string> { "kept" });
    }
}

TEST_F(FileDropTest, ASecondRegistrationOnlyReplacesTheCallback)
{
    int first = 0, second = 0;
    m_drop.RegisterFileDrop(
        &m_window, [&](int) { ++first; }, 1);
    m_drop.RegisterFileDrop(
        &m_window, [&](int) { ++second; }, 1);
    ASSERT_TRUE(DropPaths(&m_window, { m_tree.rootText() }));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1); // routed once, not once per registration

    // Drops that reach another window, or arrive without a callback, are not read.
    m_state.droppedPaths = { "kept" };
    ui::MainWindow other;
    m_drop.HandleDroppedFiles({ "/" }, &other);
    m_drop.RegisterFileDrop(&m_window, nullptr, 1);
    m_drop.HandleDroppedFiles({ "/" }, &m_window);
    EXPECT_EQ(m_state.droppedPaths, std::vector<std::string> { "kept" });
    EXPECT_EQ(second, 1);
}

// Reports attribute words of its choosing for made-up paths.
class AttributePlatform final : public testsupport::ForwardingPlatform
{
public:
    std::map<std::string, std::uint32_t> attributes;

    std::uint32_t FileAttributes(const std::string& path) override
    {
        const auto found = attributes.find(path);
        return found == attributes.end() ? platform::kInvalidAttributes : found->second;
    }
};

TEST(FileDrop, OnlyAFolderWithNothingButTheDirectoryBitCountsAsPlain)
{
    AttributePlatform system;
    system.attributes = {
        { "/d/plain", 0x10 },
        { "/d/indexed", 0x2010 }, // bits outside the five that count do not matter
        { "/d/hidden", 0x12 },
        { "/d/readonly", 0x11 },
        { "/d/system", 0x14 },
        { "/d/archive", 0x30 },
        { "/d/file", 0x80 },
    };
    std::vector<std::string> dropped;
    int calls = -1;
    QWidget window;
    ui::FileDrop drop(system, dropped);
    drop.RegisterFileDrop(
        &window, [&](int count) { calls = count; }, 1);
    drop.HandleDroppedFiles({ "/d/plain", "/d/indexed", "/d/hidden", "/d/readonly", "/d/system",
                                "/d/archive", "/d/file", "/d/unreadable" },
        &window);
    EXPECT_EQ(dropped,
        (std::vector<std::string> { "/d/plain/", "/d/indexed/", "/d/hidden", "/d/readonly",
            "/d/system", "/d/archive", "/d/file", "/d/unreadable" }));
    EXPECT_EQ(calls, 8);
}

TEST(FileDropDuringAScan, ChangesTheNextRootButNothingOfTheRunningScan)
{
    testsupport::TempTree tree, other;
    for (int i = 0; i < 3; ++i) {
        std::string damaged(300, 'd');
        for (int k = 0; k < 100; ++k)
            damaged[k] = static_cast<char>(damaged[k] ^ 0xFF);
        tree.Write("f" + std::to_string(i) + ".doc", damaged);
    }
    ui::MainWindow window;
    app::AppState state;
    auto holding = std::make_unique<testsupport::HoldingPlatform>();
    testsupport::HoldingPlatform& held = *holding;
    app::InitGlobals(state, std::move(holding));
    testsupport::YesBoxes boxes;
    app::ScanHandlers handlers(state, window, boxes);
    platform::posix::PosixPlatform system;
    ui::FileDrop drop(system, state.droppedPaths);
    drop.RegisterFileDrop(
        &window, [&](int count) { app::OnFilesDropped(state, window, count); }, 1);
    window.patternCombo()->setCurrentIndex(0);
    window.rootCombo()->setEditText(QString::fromStdString(tree.rootText()));

    held.HoldReadsOf("f1.doc");
    QTest::mouseClick(window.scanBox(), Qt::LeftButton);
    held.WaitUntilHeld();
    ASSERT_TRUE(DropPaths(&window, { other.root().string() }));
    EXPECT_TRUE(handlers.controller().IsRunning());
    held.Release();
    FM_TRY_EQ(window.statusLabel()->text(), QStringLiteral("扫描完成"));

    EXPECT_EQ(Bytes(window.rootCombo()->currentText()), other.rootText());
    ASSERT_EQ(window.resultsModel()->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(window.resultsModel()->PathBytes(row).rfind(tree.rootText(), 0), 0u) << row;
}

TEST(FileDropAtStartUp, TheMainWindowTakesDropsOnceItIsCreated)
{
    testsupport::TempTree tree;
    ui::MainWindow window;
    app::AppState state;
    app::InitGlobals(state, std::make_unique<platform::posix::PosixPlatform>());
    app::OnMainWindowCreated(state, window);
    EXPECT_TRUE(window.acceptDrops());
    ASSERT_TRUE(DropPaths(&window, { tree.root().string() }));
    EXPECT_EQ(Bytes(window.rootCombo()->currentText()), tree.rootText());
}

} // namespace
