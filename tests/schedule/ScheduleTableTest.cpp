#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "core/AppError.h"
#include "schedule/ScheduleFixture.h"

namespace {

QByteArray digest(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

struct ScheduleTableTest : ::testing::Test {
    DataFolder data;
    ScheduleTable table;
    void SetUp() override { table.setFolder(data.path()); }
    QString currentEvent() { return table.current().event; }
};

TEST_F(ScheduleTableTest, OpensInTimeOrderWithTheFirstRowCurrent) {
    data.fill("xiayu.dat", {makeRow(14, 0, 0, "下午"), makeRow(8, 0, 0, "早上"),
                            makeRow(8, 0, 30, "早读"), makeRow(7, 59, 59, "预备")});
    table.open("xiayu.dat");
    EXPECT_EQ(table.recNo(), 1);
    EXPECT_FALSE(table.eof());
    QStringList events;
    for (table.first(); !table.eof(); table.next()) {
        events << currentEvent();
    }
    EXPECT_EQ(events, (QStringList{"预备", "早上", "早读", "下午"}));
}

TEST_F(ScheduleTableTest, NextAtTheLastRowSetsEofAndKeepsTheLastRow) {
    data.fill("temp.dat", {makeRow(8, 0, 0, "a"), makeRow(9, 0, 0, "b")});
    table.open("temp.dat");
    table.next();
    EXPECT_FALSE(table.eof());
    table.next();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.recNo(), 2);
    EXPECT_EQ(currentEvent(), "b");
    table.first();
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(currentEvent(), "a");
}

TEST_F(ScheduleTableTest, EmptyTableIsAtEndWithNoCurrentRow) {
    table.open("temp.dat");
    EXPECT_TRUE(table.eof());
    EXPECT_LE(table.recNo(), 0);
    table.next();
    table.setRecNo(3);
    EXPECT_TRUE(table.eof());
    EXPECT_THROW(table.current(), AppError);
    EXPECT_THROW(table.deleteCurrent(), AppError);
}

TEST_F(ScheduleTableTest, FieldsReadBackAsStored) {
    data.fill("temp.dat", {makeRow(12, 30, 15, "下课", schedule::kRandomMusic,
                                   {true, false, true, false, true, false, false})});
    table.open("temp.dat");
    const ScheduleRow& row = table.current();
    EXPECT_EQ(row.hour, 12);
    EXPECT_EQ(row.minute, 30);
    EXPECT_EQ(row.second, 15);
    EXPECT_EQ(row.event, "下课");
    EXPECT_EQ(row.sound, "随机音乐");
    EXPECT_EQ(row.days, (std::array<bool, 7>{true, false, true, false, true, false, false}));
}

TEST_F(ScheduleTableTest, LocateMatchesExactlyAndLeavesTheRowWhenNotFound) {
    data.fill("temp.dat", {makeRow(8, 0, 0, "a"), makeRow(8, 45, 0, "b"), makeRow(9, 0, 0, "c")});
    table.open("temp.dat");
    EXPECT_TRUE(table.locate(8, 45, 0));
    EXPECT_EQ(table.recNo(), 2);
    EXPECT_FALSE(table.locate(8, 45, 1));
    EXPECT_EQ(table.recNo(), 2);
    table.next();
    table.next();
    ASSERT_TRUE(table.eof());
    EXPECT_TRUE(table.locate(8, 0, 0));
    EXPECT_FALSE(table.eof());
}

TEST_F(ScheduleTableTest, RowNumberMovesAndClamps) {
    data.fill("temp.dat", {makeRow(8, 0, 0, "a"), makeRow(9, 0, 0, "b"), makeRow(10, 0, 0, "c")});
    table.open("temp.dat");
    table.setRecNo(3);
    EXPECT_EQ(currentEvent(), "c");
    table.setRecNo(99);
    EXPECT_EQ(currentEvent(), "c");
    table.setRecNo(0);
    EXPECT_EQ(currentEvent(), "a");
}

TEST_F(ScheduleTableTest, EditsKeepTimeOrderAndAreStoredAtOnce) {
    table.open("dongqing.dat");
    table.append(makeRow(9, 0, 0, "b"));
    table.append(makeRow(8, 0, 0, "a"));
    EXPECT_EQ(currentEvent(), "a");  // the new row is current, in its place
    EXPECT_EQ(table.recNo(), 1);
    table.append(makeRow(10, 0, 0, "c"));

    table.locate(8, 0, 0);
    table.changeCurrent(makeRow(11, 0, 0, "a later"));  // moves to its new place
    EXPECT_EQ(table.recNo(), 3);
    EXPECT_EQ(currentEvent(), "a later");

    table.locate(10, 0, 0);
    table.deleteCurrent();
    EXPECT_EQ(table.rowCount(), 2);

    // Another reader sees every change without the table being closed.
    std::vector<ScheduleRow> stored = ScheduleDb(data.dir.file("dongqing.dat")).rows();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].event, "b");
    EXPECT_EQ(stored[1].event, "a later");
}

TEST_F(ScheduleTableTest, ChangeOnAnEmptyTableAddsARow) {
    table.open("temp.dat");
    table.changeCurrent(makeRow(8, 0, 0, "a"));
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(currentEvent(), "a");
}

TEST_F(ScheduleTableTest, RefusesATimeThatIsTaken) {
    table.open("temp.dat");
    table.append(makeRow(8, 0, 0, "a"));
    table.append(makeRow(9, 0, 0, "b"));
    EXPECT_THROW(table.append(makeRow(8, 0, 0, "again")), AppError);
    table.locate(9, 0, 0);
    EXPECT_THROW(table.changeCurrent(makeRow(8, 0, 0, "b")), AppError);
    EXPECT_EQ(currentEvent(), "b");
    table.changeCurrent(makeRow(9, 0, 0, "b renamed"));  // its own time is fine
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_THROW(table.append(makeRow(24, 0, 0)), AppError);
}

TEST_F(ScheduleTableTest, VariantsAreIndependent) {
    data.fill("xiaqing.dat", {makeRow(8, 0, 0, "summer")});
    data.fill("dongqing.dat", {makeRow(8, 30, 0, "winter")});
    table.open("xiaqing.dat");
    EXPECT_EQ(currentEvent(), "summer");
    table.open("dongqing.dat");
    EXPECT_EQ(currentEvent(), "winter");
    EXPECT_EQ(table.rowCount(), 1);
    table.open("xiaqing.dat");
    EXPECT_EQ(currentEvent(), "summer");
}

TEST_F(ScheduleTableTest, ClearAllEmptiesTheClosedTableAndItOpensAgain) {
    data.fill("temp.dat", {makeRow(8, 0, 0), makeRow(9, 0, 0)});
    table.open("temp.dat");
    EXPECT_THROW(table.emptyTable("temp.dat"), AppError);  // not while open
    table.close();
    table.close();  // harmless twice
    table.emptyTable("temp.dat");
    table.open("temp.dat");
    EXPECT_EQ(table.rowCount(), 0);
}

TEST_F(ScheduleTableTest, OperationsOnAClosedTableFail) {
    EXPECT_FALSE(table.isOpen());
    EXPECT_THROW(table.first(), AppError);
    EXPECT_THROW(table.next(), AppError);
    EXPECT_THROW(table.eof(), AppError);
    EXPECT_THROW(table.recNo(), AppError);
    EXPECT_THROW(table.append(makeRow(8, 0, 0)), AppError);
}

TEST_F(ScheduleTableTest, OpeningNeverCreatesAndBadFilesFailUntouchedNamingTheFile) {
    auto expectOpenFails = [&](const QString& name) {
        const QString path = data.dir.file(name);
        const bool existed = QFileInfo::exists(path);
        const QByteArray before = existed ? digest(path) : QByteArray();
        try {
            table.open(name);
            ADD_FAILURE() << "opened " << name.toStdString();
        } catch (const AppError& e) {
            EXPECT_TRUE(e.text().contains(path)) << e.text().toStdString();
        }
        EXPECT_FALSE(table.isOpen());
        EXPECT_EQ(QFileInfo::exists(path), existed);
        if (existed) {
            EXPECT_EQ(digest(path), before);
        }
    };
    expectOpenFails("missing.dat");

    QByteArray noise;
    for (int i = 0; i < 8192; ++i) {
        noise += static_cast<char>((i * 31 + 7) % 256);
    }
    data.dir.write("noise.dat", noise);
    expectOpenFails("noise.dat");
    data.dir.write("empty.dat", "");
    expectOpenFails("empty.dat");

    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
        db.setDatabaseName(data.dir.file("other.dat"));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE schedule (a INTEGER, b TEXT)");
        db.close();
    }
    QSqlDatabase::removeDatabase("other");
    expectOpenFails("other.dat");

    QDir(data.path()).mkdir("folder.dat");
    expectOpenFails("folder.dat");

    // After all that, a good table still opens.
    table.open("temp.dat");
    EXPECT_TRUE(table.isOpen());
}

TEST_F(ScheduleTableTest, ALockedTableFailsToOpenWithATextNamingIt) {
    const QString path = data.dir.file("temp.dat");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "locker");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery lock(db);
        ASSERT_TRUE(lock.exec("BEGIN EXCLUSIVE"));
        ASSERT_TRUE(lock.exec("DELETE FROM schedule"));
        try {
            table.open("temp.dat");
            ADD_FAILURE() << "opened a locked table";
        } catch (const AppError& e) {
            EXPECT_TRUE(e.text().contains(path));
        }
        lock.exec("ROLLBACK");
        db.close();
    }
    QSqlDatabase::removeDatabase("locker");
    table.open("temp.dat");
    EXPECT_TRUE(table.isOpen());
}

TEST(ScheduleDbTest, CreateRefusesAnExistingFileAndReplaceAllIsAllOrNothing) {
    DataFolder data;
    const QString path = data.dir.file("temp.dat");
    EXPECT_THROW(ScheduleDb::create(path), AppError);
    ScheduleDb db(path);
    db.replaceAll({makeRow(8, 0, 0, "keep")});
    EXPECT_THROW(db.replaceAll({makeRow(9, 0, 0), makeRow(9, 0, 0)}), AppError);
    ASSERT_EQ(db.rows().size(), 1u);
    EXPECT_EQ(db.rows()[0].event, "keep");
}

}  // namespace
