#include "results/resultsmodel.h"
#include "ui/drawingpanel.h"
#include "ui/hyperlink.h"
#include "ui/mainwindow.h"
#include "ui/resultsview.h"
#include "ui/tabcontrol.h"
#include "ui/tiledlabel.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Tick
{
    None,
    Off,
    On
};

struct FormRow
{
    const char* name;
    const char* className;
    const char* container; // "window", a page's tab caption, or a component's name
    QRect geometry;
    bool visible; // while its page is shown
    bool enabled;
    Tick tick;
    bool takesFocus;
    const char* caption;
};

// The window's components in creation order.
const std::vector<FormRow> kForm = {
    { "超级链接框3", "ui::Hyperlink", "扫描", { 8, 32, 200, 11 }, true, true, Tick::None, false,
        "需要修复点这 [客服支持]" },
    { "标签FFF", "QLabel", "画板1", { 48, 168, 168, 64 }, false, true, Tick::None, false,
        "预览只支持jpg,gif" },
    { "画板1", "ui::DrawingPanel", "window", { 600, 23, 264, 400 }, true, true, Tick::None, false,
        "" },
    { "超级列表框1", "ui::ResultsView", "扫描", { 1, 104, 570, 192 }, true, true, Tick::None, true,
        "|状态|" },
    { "选择框1", "QCheckBox", "扫描", { 407, 58, 80, 16 }, true, true, Tick::On, true, "修复预览" },
    { "标签1", "QLabel", "window", { 624, 0, 184, 24 }, true, true, Tick::None, false, "修复预览" },
    { "超级链接框5", "ui::Hyperlink", "分组框1", { 192, 21, 61, 11 }, true, true, Tick::None, false,
        "[修复视频]" },
    { "超级链接框4", "ui::Hyperlink", "window", { 342, 76, 61, 11 }, true, true, Tick::None, false,
        "[修复视频]" },
    { "超级链接框2", "ui::Hyperlink", "window", { 264, 76, 61, 11 }, true, true, Tick::None, false,
        "[资助澄岚]" },
    { "图片框1", "QLabel", "分组框1", { 15, 19, 143, 81 }, true, true, Tick::None, false, "" },
    { "分组框1", "QGroupBox", "关于", { 7, 192, 560, 107 }, true, true, Tick::None, false,
        "文件夹都变成了回收站" },
    { "选择框_修复文件", "QCheckBox", "扫描", { 407, 78, 80, 16 }, true, false, Tick::Off, true,
        "修复文件" },
    { "编辑框A", "QLineEdit", "window", { -264, 64, 40, 24 }, false, true, Tick::None, true, "" },
    { "标签_状态", "ui::TiledLabel", "window", { 0, 400, 600, 30 }, true, true, Tick::None, false,
        "" },
    { "超级链接框1", "ui::Hyperlink", "window", { 420, 76, 61, 11 }, true, true, Tick::None, false,
        "[澄岚反毒]" },
    { "编辑框1", "QPlainTextEdit", "关于", { 6, 23, 565, 160 }, true, true, Tick::None, true,
        nullptr },
    { "按钮_结束", "QPushButton", "扫描", { 499, 76, 70, 24 }, true, true, Tick::None, true,
        "结束" },
    { "选择框_暂停", "QPushButton", "扫描", { 499, 50, 70, 24 }, true, true, Tick::Off, true,
        "暂停" },
    { "选择框_扫描", "QPushButton", "扫描", { 499, 24, 70, 24 }, true, true, Tick::Off, true,
        "扫描" },
    { "组合框1", "QComboBox", "扫描", { 414, 26, 64, 20 }, true, true, Tick::None, true,
        "*.*|*.doc|*.pdf|*.gif|*.jpg|*.rar" },
    { "组合框2", "QComboBox", "扫描", { 314, 26, 96, 20 }, true, true, Tick::None, true,
        "d:\\|e:\\|f:\\|g:\\|h:\\" },
    { "标签2", "QLabel", "扫描", { 278, 26, 31, 20 }, true, true, Tick::None, false, "目录:" },
    { "选择夹1", "ui::TabControl", "window", { 9, 94, 575, 301 }, true, true, Tick::None, false,
        "扫描|关于" },
    { "标签a", "ui::TiledLabel", "window", { 0, 0, 600, 72 }, true, true, Tick::None, false,
        "本软件需要[客服远程支持],很多人不会用,防乱用,改成[修复预览],不会修改用户文件" },
};

QString Caption(const QWidget* widget)
{
    QStringList parts;
    if (auto* link = qobject_cast<const ui::Hyperlink*>(widget))
        return link->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            parts << combo->itemText(i);
    } else if (auto* tabs = qobject_cast<const ui::TabControl*>(widget)) {
        for (int i = 0; i < tabs->tabBar()->count(); ++i)
            parts << tabs->tabBar()->tabText(i);
    } else if (auto* list = qobject_cast<const QTableView*>(widget)) {
        for (int i = 0; i < list->model()->columnCount(); ++i)
            parts << list->model()->headerData(i, Qt::Horizontal).toString();
    }
    return parts.join('|');
}

class MainWindowTest : public ::testing::Test
{
protected:
    QWidget* Find(const char* name) const
    {
        return window.findChild<QWidget*>(QString::fromUtf8(name));
    }
    QWidget* Container(const char* name) const
    {
        const std::string container = name;
        if (container == "window")
            return const_cast<ui::MainWindow*>(&window);
        if (container == "扫描")
            return window.tabControl()->Page(0);
        if (container == "关于")
            return window.tabControl()->Page(1);
        return Find(name);
    }
    void ShowPageOf(const FormRow& row)
    {
        // A component's page, or the page of the container it sits in.
        for (QWidget* w = Find(row.name); w && w != &window; w = w->parentWidget()) {
            for (int page = 0; page < ui::TabControl::kPageCount; ++page) {
                if (w == window.tabControl()->Page(page))
                    window.tabControl()->SetCurrentIndex(page);
            }
        }
    }

    ui::MainWindow window;
};

TEST_F(MainWindowTest, EveryComponentMatchesTheForm)
{
    window.show();
    std::vector<QObject*> created;
    for (const FormRow& row : kForm) {
        SCOPED_TRACE(row.name);
        QWidget* widget = Find(row.name);
        ASSERT_NE(widget, nullptr);
        created.push_back(widget);
        EXPECT_STREQ(widget->metaObject()->className(), row.className);
        EXPECT_EQ(widget->parentWidget(), Container(row.container));
        EXPECT_EQ(widget->geometry(), row.geometry);
        ShowPageOf(row);
        EXPECT_EQ(widget->isVisibleTo(&window), row.visible);
        EXPECT_EQ(widget->isEnabled(), row.enabled);
        EXPECT_EQ(bool(widget->focusPolicy() & Qt::TabFocus), row.takesFocus);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (row.tick == Tick::None) {
            EXPECT_TRUE(!button || !button->isCheckable());
        } else {
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->isCheckable());
            EXPECT_EQ(button->isChecked(), row.tick == Tick::On);
        }
        if (row.caption) {
            EXPECT_EQ(Caption(widget), QString::fromUtf8(row.caption));
        }
    }

    // Siblings stack in creation order.
    for (QObject* container : std::vector<QObject*> { &window, window.tabControl()->Page(0),
             window.tabControl()->Page(1), Find("分组框1"), Find("画板1") }) {
        std::vector<QObject*> expected, stacked;
        for (QObject* child : container->children()) {
            if (std::find(created.begin(), created.end(), child) != created.end())
                stacked.push_back(child);
        }
        for (QObject* component : created) {
            if (component->parent() == container)
                expected.push_back(component);
        }
        EXPECT_EQ(stacked, expected) << container->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, FrameCaptionAndPictures)
{
    EXPECT_EQ(window.windowTitle(),
        QStringLiteral("澄岚反毒.破坏文件修复工具(文件夹变成回收站)8[修复预览版]"));
    EXPECT_EQ(window.size(), QSize(867, 421));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(window.pos(),
        QPoint((screen.width() - 873) / 2 + screen.x(), (screen.height() - 450) / 2 + screen.y()));

    auto* notice = qobject_cast<QLabel*>(Find("标签FFF"));
    EXPECT_EQ(notice->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(notice->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_EQ(window.bannerLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(window.bannerLabel()->tile().size(), QSize(1024, 100));
    EXPECT_EQ(window.statusLabel()->tile().size(), QSize(1024, 100));
    EXPECT_EQ(window.helpPicture()->pixmap().size(), QSize(142, 93));
    EXPECT_GE(window.patternCombo()->view()->minimumHeight(), 160);
    EXPECT_TRUE(window.patternCombo()->isEditable());
    EXPECT_TRUE(window.rootCombo()->isEditable());
}

TEST_F(MainWindowTest, PicturesHaveTheirFormatsAndSizes)
{
    struct Picture
    {
        const char* path;
        const char* format;
        QSize size;
    };
    for (const Picture& picture : { Picture { ":/pictures/banner.jpg", "jpeg", { 1024, 100 } },
             Picture { ":/pictures/help.jpg", "jpeg", { 142, 93 } },
             Picture { ":/pictures/paybutton.bmp", "bmp", { 150, 37 } } }) {
        QImageReader reader(QString::fromUtf8(picture.path));
        EXPECT_EQ(reader.format(), picture.format) << picture.path;
        EXPECT_EQ(reader.size(), picture.size) << picture.path;
    }
    // The payment button is stored with 8 bits per pixel and a palette.
    QFile bitmap(QStringLiteral(":/pictures/paybutton.bmp"));
    ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly));
    const QByteArray header = bitmap.read(54);
    ASSERT_EQ(header.size(), 54);
    const auto word = [&](int at) { return quint8(header[at]) | quint8(header[at + 1]) << 8; };
    EXPECT_EQ(word(28), 8);
    EXPECT_EQ(word(30), 0); // uncompressed
    EXPECT_EQ(QImage(QStringLiteral(":/pictures/paybutton.bmp")).format(), QImage::Format_Indexed8);
}

TEST_F(MainWindowTest, InformationTextIsExactAndReadOnly)
{
    const std::vector<std::pair<int, const char*>> lines = {
        { 0, "感染引擎: 澄岚反毒.破坏文件修复工具" },
        { 0, "病毒行为:" },
        { 4, "文件夹都变成了回收站,破坏文件,文件名尾加空格," },
        { 4, "目前已知该病毒通过破坏文件(PDF,DOC,RAR等)" },
        { 4, "修复预览" },
        { 0, "" },
        { 0, "注意:不是这种感染的不要用本软件!" },
        { 5, "用本软件需要[客服远程],教过才会用!请不要乱用!" },
        { 5, "" },
        { 5, "需要修复请联系我们, 客服QQ: 800012345" },
        { 1, "" },
    };
    std::string expected;
    for (const auto& [spaces, text] : lines)
        expected += std::string(std::size_t(spaces), ' ') + text + "\r\n";
    EXPECT_EQ(std::string(ui::kInformationText), expected);

    QPlainTextEdit* info = window.informationText();
    EXPECT_EQ(info->toPlainText(), QString::fromUtf8(expected).replace("\r\n", "\n"));
    EXPECT_TRUE(info->isReadOnly());
    EXPECT_TRUE(info->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_EQ(info->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    window.show();
    info->setFocus();
    QTest::keyClicks(info, "typed");
    EXPECT_EQ(info->toPlainText(), QString::fromUtf8(expected).replace("\r\n", "\n"));
}

TEST_F(MainWindowTest, TabsShowOnlyTheirOwnPage)
{
    const std::vector<const char*> scanPage
        = { "超级链接框3", "超级列表框1", "选择框1", "选择框_修复文件", "按钮_结束", "选择框_暂停",
              "选择框_扫描", "组合框1", "组合框2", "标签2" };
    const std::vector<const char*> aboutPage = { "编辑框1", "分组框1", "超级链接框5", "图片框1" };
    const std::vector<const char*> everyPage
        = { "标签a", "超级链接框1", "超级链接框2", "超级链接框4", "画板1", "标签1", "标签_状态" };
    window.show();
    ASSERT_EQ(window.tabControl()->CurrentIndex(), 0);
    for (int page : { 0, 1, 0 }) {
        window.tabControl()->SetCurrentIndex(page);
        for (const char* name : scanPage)
            EXPECT_EQ(Find(name)->isVisible(), page == 0) << name << " on page " << page;
        for (const char* name : aboutPage)
            EXPECT_EQ(Find(name)->isVisible(), page == 1) << name << " on page " << page;
        for (const char* name : everyPage)
            EXPECT_TRUE(Find(name)->isVisible()) << name << " on page " << page;
    }

    // A click on the second tab switches, as a user would do it.
    QTabBar* tabs = window.tabControl()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_TRUE(window.informationText()->isVisible());
    EXPECT_FALSE(window.resultsView()->isVisible());
}

TEST_F(MainWindowTest, OnlyTheSupportLinkOpensATargetOfItsOwn)
{
    window.show();
    for (ui::Hyperlink* link : window.findChildren<ui::Hyperlink*>()) {
        std::vector<QUrl> opened;
        link->SetOpener([&opened](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        window.tabControl()->SetCurrentIndex(window.tabControl()->Page(1)->isAncestorOf(link));
        QSignalSpy pressed(link, &ui::Hyperlink::pressed);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(pressed.count(), 1) << link->objectName().toStdString();
        if (link == window.supportLink()) {
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(opened[0], QUrl(QString::fromUtf8(ui::kSupportChatAddress)));
            EXPECT_EQ(opened[0].scheme(), "https");
        } else {
            EXPECT_TRUE(opened.empty()) << link->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, RepairBoxCannotBeClicked)
{
    window.show();
    QAbstractButton* box = window.repairBox();
    QSignalSpy clicked(box, &QAbstractButton::clicked);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(40, 8));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(clicked.count(), 0);

    // The toggles flip with every click, as their handlers expect to read the new state.
    QTest::mouseClick(window.scanBox(), Qt::LeftButton);
    EXPECT_TRUE(window.scanBox()->isChecked());
    QTest::mouseClick(window.scanBox(), Qt::LeftButton);
    EXPECT_FALSE(window.scanBox()->isChecked());
}

TEST_F(MainWindowTest, SetStatusWritesTheStatusLine)
{
    EXPECT_TRUE(window.statusLabel()->text().isEmpty());
    window.SetStatus(QStringLiteral("扫描完成"));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("扫描完成"));
}

// Pictures for a person to look at; not compared with anything.
TEST_F(MainWindowTest, ScreenshotsOfBothPages)
{
    const QString folder = qEnvironmentVariable("FILEMEND_SHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "FILEMEND_SHOT_DIR is not set";
    ASSERT_TRUE(QDir().mkpath(folder));
    window.SetStatus(QStringLiteral("D:\\照片\\假期\\IMG_0001.JPG"));
    window.resultsModel()->AddResultRow(results::RowStatus::Repairable, "/mnt/d/文档/报告.doc");
    window.resultsModel()->AddResultRow(results::RowStatus::ProcessEnded, "进程已结束");
    window.show();
    for (int page : { 0, 1 }) {
        window.tabControl()->SetCurrentIndex(page);
        const QString file
            = QDir(folder).filePath(page == 0 ? QStringLiteral("mainwindow-scan.png")
                                              : QStringLiteral("mainwindow-about.png"));
        EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
    }
}

} // namespace
