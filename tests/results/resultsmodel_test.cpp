#include "results/resultsmodel.h"
#include "ui/resultsview.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using results::ResultsModel;
using results::RowStatus;

QStringList Row(const ResultsModel& model, int row)
{
    return { model.CellText(row, 0), model.CellText(row, 1), model.CellText(row, 2) };
}

TEST(ResultsModel, NumbersRowsByPositionAndRestartsAfterClear)
{
    ResultsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QString());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("状态"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QString());

    for (int scan = 0; scan < 2; ++scan) {
        model.Clear();
        model.AddResultRow(RowStatus::Repairable, "/mnt/d/报告.doc");
        model.AppendRows({ { RowStatus::Repairable, "/mnt/d/报告.doc" },
            { RowStatus::ProcessEnded, "进程 1234" }, { RowStatus::Repairable, "" } });
        ASSERT_EQ(model.rowCount(), 4);
        EXPECT_EQ(Row(model, 0), QStringList({ "0", "可修复", "/mnt/d/报告.doc" }));
        EXPECT_EQ(Row(model, 1), QStringList({ "1", "可修复", "/mnt/d/报告.doc" }));
        EXPECT_EQ(Row(model, 2), QStringList({ "2", "结束进程", "进程 1234" }));
        EXPECT_EQ(Row(model, 3), QStringList({ "3", "可修复", "" }));
    }
    for (const auto& [row, column] : { std::pair { -1, 0 }, { 4, 0 }, { 0, 3 }, { 0, -1 } })
        EXPECT_TRUE(model.CellText(row, column).isEmpty()) << row << "," << column;
    EXPECT_TRUE(model.PathBytes(99).empty());
}

TEST(ResultsModel, KeepsPathBytesThatAreNotUtf8)
{
    ResultsModel model;
    const std::string gbk = "/mnt/d/\xb1\xa8\xb8\xe6.doc"; // "报告" in GBK, invalid as UTF-8
    model.AddResultRow(RowStatus::Repairable, gbk);
    EXPECT_EQ(model.PathBytes(0), gbk);
    // The text shown cannot carry the stray bytes; the preview opens the file by PathBytes.
    EXPECT_TRUE(model.CellText(0, 2).startsWith("/mnt/d/"));
    EXPECT_TRUE(model.CellText(0, 2).endsWith(".doc"));
}

TEST(ResultsModel, HoldsAMillionRowsAppendedInBatches)
{
    ResultsModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    ui::ResultsView view;
    view.setModel(&model);
    view.resize(570, 192);
    view.show();
    constexpr int kRows = 1'000'000, kBatch = 500;
    for (int first = 0; first < kRows; first += kBatch) {
        std::vector<results::ResultRow> batch;
        batch.reserve(kBatch);
        for (int i = first; i < first + kBatch; ++i)
            batch.push_back({ RowStatus::Repairable, "/mnt/d/folder/file" + std::to_string(i) });
        model.AppendRows(std::move(batch));
    }
    EXPECT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(inserted.count(), kRows / kBatch);
    EXPECT_EQ(
        Row(model, kRows - 1), QStringList({ "999999", "可修复", "/mnt/d/folder/file999999" }));
    view.scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(view.rowAt(view.viewport()->height() - 2) / 1000, (kRows - 1) / 1000);
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

class ResultsViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view.setModel(&model);
        view.resize(570, 192);
        for (int i = 0; i < 5; ++i)
            model.AddResultRow(RowStatus::Repairable, "/mnt/d/" + std::to_string(i) + ".jpg");
        view.show();
        view.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QPoint CellCentre(int row, int column) const
    {
        return view.visualRect(model.index(row, column)).center();
    }

    ResultsModel model;
    ui::ResultsView view;
};

TEST_F(ResultsViewTest, LooksLikeTheForm)
{
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(view.columnWidth(column), ui::ResultsView::kColumnWidths[column]);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(view.showGrid());
    EXPECT_FALSE(view.isSortingEnabled());
    EXPECT_FALSE(view.horizontalHeader()->sectionsMovable());
    const QPalette colours = view.palette();
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::Highlight),
        colours.color(QPalette::Inactive, QPalette::Base));
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::HighlightedText),
        colours.color(QPalette::Inactive, QPalette::Text));
}

TEST_F(ResultsViewTest, RaisesCurrentRowChangedOnlyForANewlyCurrentRow)
{
    QSignalSpy changed(&view, &ui::ResultsView::currentRowChanged);
    EXPECT_EQ(view.SelectedRow(), -1);

    struct Step
    {
        const char* what;
        std::function<void()> act;
        int raised;
        int selected;
    };
    const std::vector<Step> steps = {
        { "click row 2",
            [&] { QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCentre(2, 1)); }, 1,
            2 },
        { "click row 2 again",
            [&] { QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCentre(2, 2)); }, 0,
            2 },
        { "arrow down", [&] { QTest::keyClick(&view, Qt::Key_Down); }, 1, 3 },
        { "arrow up twice",
            [&] {
                QTest::keyClick(&view, Qt::Key_Up);
                QTest::keyClick(&view, Qt::Key_Up);
            },
            2, 1 },
        { "append",
            [&] {
                model.AppendRows({ { RowStatus::Repairable, "/mnt/d/x" } });
            },
            0, 1 },
        { "header click",
            [&] {
                QHeaderView* header = view.horizontalHeader();
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
            },
            0, 1 },
        { "clear", [&] { model.Clear(); }, 0, -1 },
        { "append after clear", [&] { model.AddResultRow(RowStatus::Repairable, "/mnt/d/y"); }, 0,
            -1 },
        { "click the first row",
            [&] { QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCentre(0, 0)); }, 1,
            0 },
    };
    for (const Step& step : steps) {
        changed.clear();
        step.act();
        EXPECT_EQ(changed.count(), step.raised) << step.what;
        EXPECT_EQ(view.SelectedRow(), step.selected) << step.what;
        EXPECT_LE(view.selectionModel()->selectedRows().size(), 1) << step.what;
    }
    EXPECT_EQ(model.CellText(0, 0), "0");
}

} // namespace
