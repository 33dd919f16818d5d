#include "app/appstate.h"
#include "app/linkhandlers.h"
#include "platform/posix/posixplatform.h"
#include "tests/support/waitfor.h"
#include "ui/donationwindow.h"
#include "ui/helpvideowindow.h"
#include "ui/hyperlink.h"
#include "ui/mainwindow.h"
#include "ui/pageview.h"
#include "ui/picturebutton.h"
#include "ui/tabcontrol.h"
#include "ui/webaddresses.h"
#include "ui/webhost.h"

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Engine start-up, page loads and scripts are given this long before a test gives up on them.
constexpr int kEngineWaitMs = 30000;

class LinkHandlersTest : public ::testing::Test
{
protected:
    LinkHandlersTest()
    {
        app::InitGlobals(state, std::make_unique<platform::posix::PosixPlatform>());
        window = std::make_unique<ui::MainWindow>();
        handlers = std::make_unique<app::LinkHandlers>(state, *window);
        window->show();
    }
    ~LinkHandlersTest() override
    {
        handlers.reset();
        window.reset();
        app::ReleaseGlobals(state);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void Press(ui::Hyperlink* link)
    {
        QTest::mousePress(link, Qt::LeftButton, {}, { 2, 2 });
    }

    int OpenHelpWindows() const
    {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += qobject_cast<ui::HelpVideoWindow*>(widget) != nullptr;
        return count;
    }

    // The page as the help window shows it: the host's place in the window and the page's address.
    void ExpectPageFitsWindow(const char* when)
    {
        ui::HelpVideoWindow* help = handlers->helpVideoWindow();
        ASSERT_NE(help, nullptr) << when;
        QWidget* host = state.webHost->GetHandle();
        ASSERT_NE(host, nullptr) << when;
        EXPECT_EQ(host->parentWidget(), help) << when;
        EXPECT_EQ(host->geometry(), QRect(-2, -2, help->width() + 4, help->height())) << when;
    }

    QUrl ShownAddress() const
    {
        ui::PageView* page = state.webHost->pageView();
        return page ? page->address() : QUrl();
    }

    app::AppState state;
    std::unique_ptr<ui::MainWindow> window;
    std::unique_ptr<app::LinkHandlers> handlers;
};

TEST_F(LinkHandlersTest, EachLinkOpensItsPageInAHelpWindowOnThePress)
{
    const struct
    {
        ui::Hyperlink* link;
        QString address;
    } links[] = {
        { window->productLink(), QString::fromUtf8(ui::kHomePageAddress) },
        { window->videoLink(), QString::fromUtf8(ui::kRepairGuideAddress) },
        { window->aboutVideoLink(), ui::RepairPlayerAddress() },
    };
    window->tabControl()->SetCurrentIndex(1); // the about page holds the second video link
    for (const auto& [link, address] : links) {
        Press(link);
        ASSERT_NE(handlers->helpVideoWindow(), nullptr) << address.toStdString();
        FM_TRY_EQ_T(ShownAddress(), QUrl(address), kEngineWaitMs);
        EXPECT_FALSE(link->isVisited()) << "the link itself opens nothing";
    }
    EXPECT_EQ(ui::RepairPlayerAddress(),
        QStringLiteral("qrc:/pages/guide.html#&autoplay=false&id=%1&skinNum=1&topBar=1")
            .arg(QString::fromUtf8(ui::kRepairVideoId)));
}

TEST_F(LinkHandlersTest, HelpWindowGeometryFollowsOpeningResizingMaximizingAndReplacement)
{
    Press(window->productLink());
    QPointer<ui::HelpVideoWindow> first = handlers->helpVideoWindow();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->size(), QSize(474, 321));
    const QRect screen = first->screen()->geometry();
    EXPECT_EQ(first->pos(),
        QPoint(screen.x() + (screen.width() - 480) / 2, screen.y() + (screen.height() - 350) / 2));
    ExpectPageFitsWindow("opened");

    first->resize(600, 410);
    ExpectPageFitsWindow("resized");
    first->resize(200, 120);
    ExpectPageFitsWindow("shrunk");

    first->showMaximized();
    FM_TRY_TRUE(first->width() > 600);
    ExpectPageFitsWindow("maximized");
    first->showNormal();
    FM_TRY_TRUE(first->width() < 600);
    ExpectPageFitsWindow("restored");

    // A second press replaces the window; the old one is gone at once, with its page.
    QPointer<QWidget> firstPage = state.webHost->GetHandle();
    Press(window->videoLink());
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(firstPage.isNull());
    ASSERT_NE(handlers->helpVideoWindow(), nullptr);
    EXPECT_EQ(OpenHelpWindows(), 1);
    EXPECT_EQ(handlers->helpVideoWindow()->size(), QSize(474, 321));
    ExpectPageFitsWindow("replaced");

    // Closed by the user, then opened again: a fresh window as normal.
    handlers->helpVideoWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(handlers->helpVideoWindow(), nullptr);
    EXPECT_FALSE(state.webHost->IsAlive());
    Press(window->productLink());
    EXPECT_EQ(OpenHelpWindows(), 1);
    ExpectPageFitsWindow("reopened");
}

TEST_F(LinkHandlersTest, GuideShowsThePlayersVideoId)
{
    window->tabControl()->SetCurrentIndex(1);
    Press(window->aboutVideoLink());
    ui::PageView* page = state.webHost->pageView();
    ASSERT_NE(page, nullptr);
    QSignalSpy loads(page, &ui::PageView::loadFinished);
    // The engine reports its address only once the load has begun.
    FM_TRY_EQ_T(page->address().fragment(QUrl::FullyDecoded),
        QStringLiteral("&autoplay=false&id=%1&skinNum=1&topBar=1")
            .arg(QString::fromUtf8(ui::kRepairVideoId)),
        kEngineWaitMs);
    if (!ui::PageViewsRunScripts())
        GTEST_SKIP() << "built without the browser engine: the page's script does not run";

    ASSERT_TRUE(loads.count() > 0 || loads.wait(kEngineWaitMs))
        << "the engine did not load the page";
    ASSERT_TRUE(loads.last().at(0).toBool());
    QVariant shown;
    page->EvaluateScript(QStringLiteral("document.getElementById('video-id').textContent"),
        [&](const QVariant& value) { shown = value; });
    FM_TRY_TRUE_T(shown.isValid(), kEngineWaitMs);
    EXPECT_EQ(shown.toString(), QString::fromUtf8(ui::kRepairVideoId));
}

TEST_F(LinkHandlersTest, DonationWindowIsOneOwnedWindowAndItsButtonOpensThePaymentPage)
{
    Press(window->donationLink());
    QPointer<ui::DonationWindow> donation = handlers->donationWindow();
    ASSERT_TRUE(donation);
    EXPECT_EQ(donation->parentWidget(), window.get());
    EXPECT_TRUE(donation->isVisible());
    EXPECT_FALSE(window->donationLink()->isVisited());

    donation->showMinimized();
    Press(window->donationLink());
    EXPECT_EQ(handlers->donationWindow(), donation.data()) << "a second press brings it back";
    EXPECT_FALSE(donation->isMinimized());
    EXPECT_EQ(window->findChildren<ui::DonationWindow*>().size(), 1);

    std::vector<QUrl> opened;
    bool succeeds = false;
    donation->paymentLink()->SetOpener([&](const QUrl& url) {
        opened.push_back(url);
        return succeeds;
    });
    donation->payButton()->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QString::fromUtf8(ui::kDonationPageAddress)));
    EXPECT_FALSE(donation->paymentLink()->isVisited()) << "a failed opening changes nothing";
    succeeds = true;
    QTest::mouseClick(donation->payButton(), Qt::LeftButton);
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_TRUE(donation->paymentLink()->isVisited());

    donation->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(donation.isNull());
    EXPECT_TRUE(window->isVisible());
    Press(window->donationLink());
    ASSERT_NE(handlers->donationWindow(), nullptr);
    EXPECT_FALSE(handlers->donationWindow()->paymentLink()->isVisited()) << "created afresh";
}

// The program runs until its last window has closed: the help window, having no owner, keeps it
// running after the main window; the donation window goes with the main window.
TEST_F(LinkHandlersTest, EventLoopEndsOnlyWhenTheHelpWindowClosesAfterTheMainWindow)
{
    ASSERT_TRUE(QApplication::quitOnLastWindowClosed());
    Press(window->donationLink());
    Press(window->productLink());
    QPointer<ui::DonationWindow> donation = handlers->donationWindow();
    QPointer<ui::HelpVideoWindow> help = handlers->helpVideoWindow();
    ASSERT_TRUE(donation && help);

    bool runningAfterMainClosed = false;
    bool donationClosedWithMain = false;
    QTimer::singleShot(0, [&] {
        window->close();
        donationClosedWithMain = donation.isNull() || !donation->isVisible();
        QTimer::singleShot(0, [&] {
            runningAfterMainClosed = true;
            help->close();
        });
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    watchdog.start(kEngineWaitMs);
    EXPECT_EQ(QCoreApplication::exec(), 0) << "the loop did not end when the help window closed";
    EXPECT_TRUE(runningAfterMainClosed);
    EXPECT_TRUE(donationClosedWithMain);
}

} // namespace
