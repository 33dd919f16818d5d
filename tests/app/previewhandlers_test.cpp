#include "app/appstate.h"
#include "app/previewhandlers.h"
#include "results/resultsmodel.h"
#include "tests/results/previewfixtures.h"
#include "tests/support/holdingplatform.h"
#include "tests/support/temptree.h"
#include "ui/drawingpanel.h"
#include "ui/mainwindow.h"
#include "ui/resultsview.h"
#include "ui/tiledlabel.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using results::RowStatus;

class PreviewHandlersTest : public ::testing::Test
{
protected:
    PreviewHandlersTest()
    {
        auto holding = std::make_unique<testsupport::HoldingPlatform>();
        m_platform = holding.get();
        app::InitGlobals(m_state, std::move(holding));
        m_handlers = std::make_unique<app::PreviewHandlers>(m_state, m_window);
        m_window.show();
        m_window.activateWindow();
        m_window.resultsView()->setFocus();
    }

    void AddRow(const std::string& path)
    {
        m_window.resultsModel()->AddResultRow(RowStatus::Repairable, path);
    }
    void Select(int row)
    {
        ui::ResultsView& view = *m_window.resultsView();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(m_window.resultsModel()->index(row, 1)).center());
    }
    QString Status() const { return m_window.statusLabel()->text(); }
    bool NoticeShown() const { return m_window.previewNotice()->isVisibleTo(&m_window); }
    QImage Picture() const { return m_window.previewPanel()->picture(); }

    testsupport::TempTree m_tree;
    ui::MainWindow m_window;
    app::AppState m_state;
    testsupport::HoldingPlatform* m_platform = nullptr;
    std::unique_ptr<app::PreviewHandlers> m_handlers;
};

TEST_F(PreviewHandlersTest, EachKindOfRowEndsWithItsPictureNoticeAndStatus)
{
    const auto pattern = [](int x, int y) { return fixtures::Gradient(x, y, 528, 400); };
    const std::string jfif = fixtures::EncodeJpeg({ 528, 400 }, pattern);
    fixtures::JpegRecipe exif { 96, 64 };
    exif.exif = true;
    const std::string png = "\x89PNG\r\n\x1a\n" + std::string(400, 'p');
    const struct
    {
        std::string name, content;
        bool picture;        // a picture is drawn
        bool notice;         // the notice label is shown
        bool statusIsPath;   // the status line names the file
        QSize size;          // the drawn size of the picture
    } cases[] = {
        { "photo.jpg", fixtures::Damage(jfif), true, false, true, { 264, 200 } },
        { "exif.JPG", fixtures::Damage(fixtures::EncodeJpeg(exif, pattern)), true, false, true,
          { 96, 64 } },
        { "renamed.jpg", fixtures::Damage(png), false, true, true, {} },
        { "undecodable.gif", fixtures::Damage("GIF89a" + std::string(300, '\0')), false, true,
          true, {} },
        { "small.jpg", fixtures::Damage(jfif.substr(0, 199)), false, true, false, {} },
        { "edge.jpg", fixtures::Damage(jfif.substr(0, 200)), false, true, true, {} },
        { "gone.jpg", "", false, true, false, {} },
    };
    for (const auto& c : cases) {
        const std::string path = m_tree.rootText() + c.name;
        if (c.name != "gone.jpg")
            m_tree.Write(c.name, c.content);
        AddRow(path);
    }
    for (int row = 0; row < int(std::size(cases)); ++row) {
        const auto& c = cases[row];
        m_window.SetStatus(QStringLiteral("before"));
        QSignalSpy finished(&m_handlers->controller(),
                            &results::PreviewController::previewFinished);
        Select(row);
        ASSERT_TRUE(finished.wait(5000)) << c.name;
        EXPECT_EQ(!Picture().isNull(), c.picture) << c.name;
        EXPECT_EQ(NoticeShown(), c.notice) << c.name;
        const QString path = QString::fromStdString(m_tree.rootText() + c.name);
        EXPECT_EQ(Status(), c.statusIsPath ? path : QStringLiteral("before")) << c.name;
        if (c.size.isValid()) {
            EXPECT_EQ(Picture().size(), c.size) << c.name;
        }
    }
}

TEST_F(PreviewHandlersTest, RowsThatAreNotJpgOrGifStartNoPreview)
{
    m_tree.Write("a.jpg", fixtures::Damage(fixtures::EncodeJpeg({}, [](int x, int y) {
        return fixtures::Gradient(x, y, 96, 64);
    })));
    AddRow(m_tree.rootText() + "a.jpg");
    for (const char* path : { "/x/b.jpeg", "/x/c.png", "no-separator.jpg" })
        AddRow(path);
    QSignalSpy finished(&m_handlers->controller(), &results::PreviewController::previewFinished);
    ASSERT_TRUE(finished.isValid());
    Select(0);
    ASSERT_TRUE(finished.wait(5000));
    const QString status = Status();
    for (int row = 1; row <= 3; ++row) {
        Select(row);
        EXPECT_FALSE(Picture().isNull()) << row; // the previous picture stays
        EXPECT_EQ(Status(), status) << row;
    }
    QTest::qWait(50);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(m_platform->wholeReads(), 1);
}

TEST_F(PreviewHandlersTest, ADecodeForARowThatIsNoLongerCurrentIsNeverShown)
{
    const auto jpeg = [](int w, int h) {
        return fixtures::Damage(fixtures::EncodeJpeg({ w, h }, [w, h](int x, int y) {
            return fixtures::Gradient(x, y, w, h);
        }));
    };
    AddRow(m_tree.Write("slow.jpg", jpeg(120, 80)));
    AddRow(m_tree.Write("next.jpg", jpeg(60, 40)));
    AddRow(m_tree.Write("last.jpg", jpeg(30, 20)));
    QSignalSpy finished(&m_handlers->controller(), &results::PreviewController::previewFinished);

    m_platform->HoldReadsOf("slow.jpg");
    Select(0);
    m_platform->WaitUntilHeld();
    QTest::keyClick(m_window.resultsView(), Qt::Key_Down);
    QTest::keyClick(m_window.resultsView(), Qt::Key_Down);
    m_platform->Release();

    ASSERT_TRUE(finished.wait(5000));
    QTest::qWait(50);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0][0].value<std::string>(), m_tree.rootText() + "last.jpg");
    EXPECT_EQ(Picture().size(), QSize(30, 20));
    EXPECT_EQ(m_platform->wholeReads(), 2); // next.jpg was overtaken before it started
}

} // namespace
