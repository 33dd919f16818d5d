#include "app/appstate.h"
#include "app/previewhandlers.h"
#include "app/scanhandlers.h"
#include "results/resultsmodel.h"
#include "tests/results/previewfixtures.h"
#include "tests/support/temptree.h"
#include "tests/support/treesnapshot.h"
#include "tests/support/waitfor.h"
#include "tests/support/yesboxes.h"
#include "ui/mainwindow.h"
#include "ui/resultsview.h"
#include "ui/tiledlabel.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(NoWrite, ScanningAndPreviewingEveryRowChangesNoFile)
{
    testsupport::TempTree tree;
    const auto pattern = [](int x, int y) { return fixtures::Gradient(x, y, 300, 200); };
    const std::string jpeg = fixtures::EncodeJpeg({ 300, 200 }, pattern);
    tree.Write("photo.jpg", fixtures::Damage(jpeg));
    tree.Write("healthy.jpg", jpeg);
    tree.Write("a/b/deep.jpg", fixtures::Damage(jpeg));
    tree.Write("a/tiny.gif", fixtures::Damage(std::string(150, 'g')));
    tree.Write("a/report.doc", fixtures::Damage("\xd0\xcf\x11\xe0" + std::string(400, 'd')));
    tree.Write("a/notes.txt", std::string(500, 't'));
    tree.Write("回收站/文件 .pdf ", fixtures::Damage("%PDF" + std::string(300, 'p')));
    tree.Write(".hidden/x.jpg", fixtures::Damage(jpeg));
    fs::create_symlink(tree.root() / "photo.jpg", tree.root() / "link.jpg");
    const testsupport::TreeSnapshot before = testsupport::TakeSnapshot(tree.root());

    app::AppState state;
    app::InitGlobals(state, platform::CreateNativePlatform());
    ui::MainWindow window;
    testsupport::YesBoxes boxes;
    app::ScanHandlers scanning(state, window, boxes);
    app::PreviewHandlers previewing(state, window);
    window.show();
    window.rootCombo()->setEditText(QString::fromStdString(tree.rootText()));
    window.patternCombo()->setCurrentIndex(0);
    QTest::mouseClick(window.scanBox(), Qt::LeftButton);
    FM_TRY_EQ(window.statusLabel()->text(), QStringLiteral("扫描完成"));
    ASSERT_GE(window.resultsModel()->rowCount(), 5);

    window.resultsView()->setFocus();
    QSignalSpy previews(&previewing.controller(), &results::PreviewController::previewFinished);
    for (int row = 0; row < window.resultsModel()->rowCount(); ++row) {
        window.resultsView()->selectRow(row);
        previewing.PreviewRepairedImage(std::string(window.resultsModel()->PathBytes(row)));
        ASSERT_TRUE(previews.wait(5000)) << row;
    }
    EXPECT_EQ(testsupport::ChangedPaths(before, testsupport::TakeSnapshot(tree.root())),
              std::vector<std::string>());
}

} // namespace
