#include <gtest/gtest.h>

#include <QTest>

#include "schedule/ScheduleFixture.h"
#include "scheduleui/ScheduleGrid.h"

namespace {

// A shown grid over a five-row table; the tests move the highlight as a user does and check
// that the table's current row (the row that test play, delete and save act on) went with it.
struct ScheduleGridTest : ::testing::Test {
    DataFolder data;
    ScheduleTable table;
    std::unique_ptr<ScheduleGrid> grid;

    ScheduleGridTest() {
        data.fill("temp.dat", {makeRow(8, 0, 0, "a"), makeRow(9, 0, 0, "b"), makeRow(10, 0, 0, "c"),
                               makeRow(11, 0, 0, "d"), makeRow(12, 0, 0, "e")});
        table.setFolder(data.path());
        grid = std::make_unique<ScheduleGrid>(table);
        grid->resize(600, 200);
        table.open("temp.dat");
        grid->applyLayout();
        grid->show();
    }
    int highlighted() const {
        const auto rows = grid->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows[0].row() : -1;
    }
    QPoint centreOf(int row) const {
        return grid->visualRect(grid->model()->index(row, 4)).center();
    }
};

TEST_F(ScheduleGridTest, LayoutHidesTheLeadingFieldAndSetsTheWidths) {
    EXPECT_TRUE(grid->isColumnHidden(0));
    EXPECT_EQ(grid->columnWidth(1), 30);
    EXPECT_EQ(grid->columnWidth(4), 160);
    EXPECT_EQ(grid->columnWidth(5), 280);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(ScheduleGridTest, TheProgramsMovesMoveTheHighlight) {
    EXPECT_EQ(highlighted(), 0);
    table.locate(10, 0, 0);
    EXPECT_EQ(highlighted(), 2);
    table.deleteCurrent();
    EXPECT_EQ(highlighted(), table.recNo() - 1);
}

TEST_F(ScheduleGridTest, EveryMoveOfTheHighlightMovesTheCurrentRow) {
    QWidget* view = grid->viewport();
    // A click.
    QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(2));
    EXPECT_EQ(highlighted(), 2);
    EXPECT_EQ(table.recNo(), 3);
    // Pressed on one row, dragged and released on another: no click, but the highlight moved.
    QTest::mousePress(view, Qt::LeftButton, {}, centreOf(1));
    QTest::mouseMove(view, centreOf(3));
    QTest::mouseRelease(view, Qt::LeftButton, {}, centreOf(3));
    EXPECT_EQ(table.recNo(), highlighted() + 1);
    EXPECT_EQ(table.current().event, grid->model()->index(highlighted(), 4).data().toString());
    // The keyboard.
    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(table.recNo(), highlighted() + 1);
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(highlighted(), 4);
    EXPECT_EQ(table.recNo(), 5);
    QTest::keyClick(grid.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(table.recNo(), 1);
}

}  // namespace
