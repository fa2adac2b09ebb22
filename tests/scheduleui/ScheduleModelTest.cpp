#include <gtest/gtest.h>

#include <QHeaderView>

#include "schedule/ScheduleFixture.h"
#include "scheduleui/ScheduleModel.h"

namespace {

TEST(ScheduleModelTest, ColumnsAreTheStoredFieldsAndWeekdaysReadTrueOrFalse) {
    DataFolder data;
    data.fill("temp.dat", {makeRow(8, 5, 0, "上课", "/m/a b.mp3",
                                   {true, false, false, false, false, false, true})});
    ScheduleTable table;
    table.setFolder(data.path());
    ScheduleModel model(table);
    EXPECT_EQ(model.rowCount(), 0);
    table.open("temp.dat");
    ASSERT_EQ(model.rowCount(), 1);
    ASSERT_EQ(model.columnCount(), 13);
    QStringList headers;
    for (int c = 1; c < 13; ++c) {
        headers << model.headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(headers.join(","), "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日");
    EXPECT_EQ(model.index(0, 1).data().toInt(), 8);
    EXPECT_EQ(model.index(0, 2).data().toInt(), 5);
    EXPECT_EQ(model.index(0, 4).data().toString(), "上课");
    EXPECT_EQ(model.index(0, 5).data().toString(), "/m/a b.mp3");
    EXPECT_EQ(model.index(0, 6).data().toString(), "True");
    EXPECT_EQ(model.index(0, 7).data().toString(), "False");
    EXPECT_EQ(model.index(0, 12).data().toString(), "True");
    EXPECT_FALSE(model.flags(model.index(0, 4)) & Qt::ItemIsEditable);
    table.close();
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
