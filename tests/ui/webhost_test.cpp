#include "tests/support/waitfor.h"
#include "ui/donationwindow.h"
#include "ui/fallbackpageview.h"
#include "ui/helpvideowindow.h"
#include "ui/hyperlink.h"
#include "ui/pageview.h"
#include "ui/picturebutton.h"
#include "ui/webaddresses.h"
#include "ui/webhost.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

std::map<QByteArray, QByteArray> AsMap(const std::vector<std::pair<QByteArray, QByteArray>>& pairs)
{
    return { pairs.begin(), pairs.end() };
}

TEST(WebHost, EngineEnvironmentTurnsTheSandboxOffOnlyForTheAdministrator)
{
    struct Case
    {
        bool administrator;
        QByteArray preset;
        bool sandboxOff;
        QByteArray flagsStart;
    };
    const Case cases[] = {
        { false, "", false, "--disable-background-networking" },
        { true, "", true, "--disable-background-networking" },
        { false, "  --lang=zh-CN ", false, "--lang=zh-CN --disable-background-networking" },
        { true, "--lang=zh-CN", true, "--lang=zh-CN --disable-background-networking" },
    };
    for (const Case& c : cases) {
        const auto environment = AsMap(ui::WebHost::EngineEnvironment(c.administrator, c.preset));
        EXPECT_EQ(environment.count("QTWEBENGINE_DISABLE_SANDBOX"), c.sandboxOff ? 1u : 0u)
            << c.administrator << " " << c.preset.constData();
        if (c.sandboxOff) {
            EXPECT_EQ(environment.at("QTWEBENGINE_DISABLE_SANDBOX"), "1");
        }
        const QByteArray flags = environment.at("QTWEBENGINE_CHROMIUM_FLAGS");
        EXPECT_TRUE(flags.startsWith(c.flagsStart)) << flags.constData();
        EXPECT_TRUE(flags.contains("--disable-component-update")) << flags.constData();
    }
}

TEST(WebHost, CreateReplacesTheHostedPageAndPlacesItInTheParent)
{
    QWidget parent;
    parent.resize(300, 200);
    parent.show();
    ui::WebHost host;
    QPointer<QWidget> first
        = host.Create(&parent, QString::fromUtf8(ui::kHomePageAddress), -2, -2, 304, 200);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), &parent);
    EXPECT_EQ(first->geometry(), QRect(-2, -2, 304, 200));
    EXPECT_TRUE(first->isVisible());
    ASSERT_NE(host.pageView(), nullptr);

    QPointer<QWidget> second
        = host.Create(&parent, QString::fromUtf8(ui::kRepairGuideAddress), 0, 0, 10, 10, 7);
    EXPECT_EQ(host.GetHandle(), second.data());
    EXPECT_FALSE(second->isVisible()) << "an unknown style mode creates the page hidden";
    // The old page is asked to close, not destroyed under the caller's feet.
    EXPECT_TRUE(first);
    FM_TRY_TRUE(first.isNull());

    host.Move(1, 2, 30, 40);
    EXPECT_EQ(second->geometry(), QRect(1, 2, 30, 40));
    host.Show(0);
    EXPECT_TRUE(second->isVisible());
}

TEST(WebHost, APageGoneWithItsWindowIsNeverTouchedAgain)
{
    ui::WebHost host;
    auto* parent = new QWidget;
    host.Create(parent, QString::fromUtf8(ui::kHomePageAddress), -2, -2, 10, 10);
    EXPECT_TRUE(host.IsAlive());
    delete parent;
    EXPECT_FALSE(host.IsAlive());
    EXPECT_EQ(host.pageView(), nullptr);
    host.Move(0, 0, 5, 5); // a stale page would be written through a dangling pointer here
    host.Destroy();
    EXPECT_EQ(host.GetHandle(), nullptr);
}

TEST(WebHost, EveryAddressOfTheProgramIsBundledOrRemote)
{
    const QString bundled[] = { QString::fromUtf8(ui::kHomePageAddress),
        QString::fromUtf8(ui::kRepairGuideAddress), ui::RepairPlayerAddress() };
    ui::WebHost host; // makes the bundled pages available
    for (const QString& address : bundled) {
        const QUrl url(address);
        ASSERT_EQ(url.scheme(), QStringLiteral("qrc")) << address.toStdString();
        QFile page(QLatin1Char(':') + url.path());
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << address.toStdString();
        const QByteArray html = page.readAll();
        EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">")) << address.toStdString();
        EXPECT_TRUE(QString::fromUtf8(html).toUtf8() == html)
            << "not UTF-8: " << address.toStdString();
    }
    for (const char* remote :
        { ui::kSupportChatAddress, ui::kDonationPageAddress, ui::kWebSiteAddress }) {
        const QUrl url(QString::fromUtf8(remote));
        EXPECT_EQ(url.scheme(), QStringLiteral("https")) << remote;
        EXPECT_TRUE(url.host().endsWith(QStringLiteral(".example"))) << remote;
    }
}

TEST(FallbackPageView, ShowsBundledPagesAndOffersRemoteOnesToTheBrowser)
{
    ui::WebHost resources;
    ui::FallbackPageView view;
    std::vector<QUrl> opened;
    bool openerSucceeds = true;
    view.SetOpener([&](const QUrl& url) {
        opened.push_back(url);
        return openerSucceeds;
    });
    QSignalSpy loads(&view, &ui::PageView::loadFinished);

    view.Load(QUrl(ui::RepairPlayerAddress()));
    EXPECT_TRUE(loads.wait(5000));
    EXPECT_EQ(loads.takeFirst().at(0).toBool(), true);
    EXPECT_TRUE(view.pageText()->toPlainText().contains(QStringLiteral("图解修复指南")));
    EXPECT_TRUE(view.openButton()->isHidden()) << "a browser cannot read the program's resources";
    EXPECT_FALSE(view.OpenInBrowser());
    EXPECT_TRUE(opened.empty());

    const QUrl remote(QString::fromUtf8(ui::kWebSiteAddress));
    view.Load(remote);
    EXPECT_TRUE(loads.wait(5000));
    EXPECT_EQ(view.address(), remote);
    EXPECT_TRUE(view.addressLabel()->text().contains(QStringLiteral("filemend.example")));
    EXPECT_FALSE(view.openButton()->isHidden());
    view.openButton()->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], remote);
    openerSucceeds = false;
    EXPECT_FALSE(view.OpenInBrowser());

    QVariant result = QStringLiteral("unset");
    view.EvaluateScript(QStringLiteral("1 + 1"), [&](const QVariant& value) { result = value; });
    FM_TRY_TRUE(!result.isValid());
}

struct DonationRow
{
    const char* name;
    const char* className;
    QRect geometry;
    bool visible;
};

TEST(DonationWindow, LayoutAndTexts)
{
    QWidget owner;
    ui::DonationWindow window(&owner);
    EXPECT_EQ(window.parentWidget(), &owner);
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.size(), QSize(374, 221));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed border";
    EXPECT_FALSE(
        window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window.windowTitle().isEmpty());

    const DonationRow rows[] = {
        { "标签2", "QLabel", { 24, 196, 120, 25 }, true },
        { "超级链接框2", "ui::Hyperlink", { 168, 200, 56, 24 }, false },
        { "图形按钮2", "ui::PictureButton", { 12, 142, 150, 37 }, true },
        { "超级链接框1", "ui::Hyperlink", { 224, 200, 144, 16 }, true },
        { "标签1", "QLabel", { 0, 0, 373, 184 }, true },
    };
    window.show();
    for (const DonationRow& row : rows) {
        auto* component = window.findChild<QWidget*>(QString::fromUtf8(row.name));
        ASSERT_NE(component, nullptr) << row.name;
        EXPECT_STREQ(component->metaObject()->className(), row.className) << row.name;
        EXPECT_EQ(component->geometry(), row.geometry) << row.name;
        EXPECT_EQ(component->isVisible(), row.visible) << row.name;
    }
    // The text label spans the button's place; the button must be the one that takes a click.
    EXPECT_EQ(window.childAt(QPoint(20, 150)), window.payButton());
    EXPECT_EQ(window.childAt(QPoint(200, 150)), window.donationText());

    const auto lines = [](const char* text) {
        return QString::fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    EXPECT_EQ(window.donationText()->text(), lines(ui::kDonationText));
    EXPECT_TRUE(window.donationText()->text().startsWith(QStringLiteral("     澄岚反毒")));
    EXPECT_TRUE(window.donationText()->wordWrap());
    EXPECT_EQ(window.paymentNotice()->text(), QStringLiteral("请在系统没病毒后,\n在进入支付宝"));
    EXPECT_TRUE(window.paymentLink()->text().isEmpty());
    EXPECT_EQ(window.paymentLink()->target(), QString::fromUtf8(ui::kDonationPageAddress));
    EXPECT_EQ(window.siteLink()->target(), QString::fromUtf8(ui::kWebSiteAddress));
    EXPECT_EQ(window.payButton()->picture().size(), QSize(150, 37));
    EXPECT_EQ(window.payButton()->cursor().shape(), Qt::PointingHandCursor);
}

TEST(HelpVideoWindow, IsATopLevelSizableWindowOfTheTaskBar)
{
    ui::HelpVideoWindow window;
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_EQ(window.windowType(), Qt::Window)
        << "a tool or dialog window would leave the task bar";
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_NE(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_TRUE(window.testAttribute(Qt::WA_QuitOnClose)) << "it keeps the program running";
}

} // namespace
