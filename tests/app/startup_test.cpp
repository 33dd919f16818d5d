#include "app/appstate.h"
#include "app/exitroutine.h"
#include "app/startup.h"
#include "tests/support/forwardingplatform.h"
#include "ui/mainwindow.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Answers only what start-up asks: the drive roots and the system root.
class FakePlatform : public testsupport::ForwardingPlatform
{
public:
    FakePlatform(std::vector<std::string> roots, std::string systemRoot)
        : m_roots(std::move(roots))
        , m_systemRoot(std::move(systemRoot))
    { }

    std::vector<std::string> DriveRoots() override { return m_roots; }
    std::string SystemRoot() override { return m_systemRoot; }
    bool IsSystemRoot(const std::string& path) override
    {
        return path.empty() || path == m_systemRoot;
    }
    void EnableDebugPrivilege() override { ++privilegeRequests; }

    int privilegeRequests = 0;

private:
    std::vector<std::string> m_roots;
    std::string m_systemRoot;
};

QStringList Items(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

TEST(Startup, OffersEveryDriveButTheSystemRoot)
{
    struct Case
    {
        std::vector<std::string> roots;
        std::string systemRoot;
        QStringList offered;
    };
    const std::vector<Case> cases = {
        { { "/", "/mnt/d/", "/media/e/" }, "/", { "/mnt/d/", "/media/e/" } },
        { { "C:\\", "D:\\", "E:\\" }, "c:\\", { "D:\\", "E:\\" } },
        { { "c:\\", "D:\\", "e:\\" }, "C:\\", { "D:\\", "e:\\" } },
        { { "/mnt/Z/", "/mnt/a/", "/", "/mnt/中文盘/" }, "/",
            { "/mnt/Z/", "/mnt/a/", "/mnt/中文盘/" } },
        { { "/" }, "/", {} },
        { {}, "/", {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << c.roots.size() << " roots, system root " << c.systemRoot);
        app::AppState state;
        auto fake = std::make_unique<FakePlatform>(c.roots, c.systemRoot);
        FakePlatform& system = *fake;
        app::InitGlobals(state, std::move(fake));
        ui::MainWindow window;
        const int left = window.pos().x();
        window.patternCombo()->setCurrentIndex(3);

        app::OnMainWindowCreated(state, window);

        EXPECT_EQ(system.privilegeRequests, 1);
        EXPECT_EQ(window.pos(), QPoint(left, 5));
        EXPECT_EQ(state.driveList, c.roots);
        EXPECT_EQ(Items(*window.rootCombo()), c.offered);
        EXPECT_EQ(window.rootCombo()->currentIndex(), c.offered.isEmpty() ? -1 : 0);
        EXPECT_EQ(window.rootCombo()->currentText(), c.offered.value(0));
        EXPECT_EQ(window.patternCombo()->currentIndex(), 0);
        EXPECT_EQ(window.patternCombo()->currentText(), QStringLiteral("*.*"));
    }
}

TEST(Shutdown, ReleaseGlobalsRunsOnce)
{
    app::AppState state;
    app::InitGlobals(state, std::make_unique<FakePlatform>(std::vector<std::string> { "/" }, "/"));
    state.driveList = { "/", "/mnt/d/" };
    {
        const app::ExitRoutine exitRoutine(state);
        EXPECT_EQ(state.releaseCount, 0);
    }
    EXPECT_EQ(state.releaseCount, 1);
    EXPECT_TRUE(state.driveList.empty());
    EXPECT_TRUE(state.droppedPaths.empty());
    app::ReleaseGlobals(state);
    EXPECT_EQ(state.releaseCount, 1);
}

} // namespace
