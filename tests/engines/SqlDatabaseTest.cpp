#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

#include "engines/SqlDatabase.h"

namespace {

class SqlDatabaseTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("t.sqlite")); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SqlDatabaseTest, BindsQVariantsAndReadsColumnsAsTextOrInteger) {
    SqlDatabase db(path());
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.executeScript(QStringLiteral("CREATE TABLE t (n INTEGER, s TEXT, b BLOB)")));
    ASSERT_TRUE(db.executeUpdate(QStringLiteral("INSERT INTO t VALUES (?,?,?)"),
                                 {42, QStringLiteral("héllo 'q'"), QByteArray("\0x", 2)}));
    // A whole double (numbers decoded from JSON) is stored as an integer, not 7.0.
    ASSERT_TRUE(db.executeUpdate(QStringLiteral("INSERT INTO t VALUES (?,?,?)"),
                                 {7.0, QVariant(), QVariant()}));
    ASSERT_TRUE(db.executeUpdate(QStringLiteral("INSERT INTO t VALUES (?,?,?)"),
                                 {QStringLiteral("12"), 2.5, QVariant::fromValue(nullptr)}));

    SqlStatement stmt =
        db.prepare(QStringLiteral("SELECT n, s, typeof(n), typeof(b) FROM t ORDER BY n"));
    ASSERT_TRUE(stmt.isValid());
    ASSERT_EQ(stmt.columnCount(), 4);
    EXPECT_EQ(stmt.columnName(0), QStringLiteral("n"));

    ASSERT_TRUE(stmt.next());
    EXPECT_EQ(stmt.text(0), QStringLiteral("7"));
    EXPECT_EQ(stmt.text(2), QStringLiteral("integer"));
    EXPECT_TRUE(stmt.isNull(1));
    EXPECT_TRUE(stmt.text(1).isNull());
    EXPECT_EQ(stmt.text(3), QStringLiteral("null"));

    ASSERT_TRUE(stmt.next());
    EXPECT_EQ(stmt.integer(0), 12); // text into an INTEGER column becomes a number
    EXPECT_EQ(stmt.text(1), QStringLiteral("2.5"));

    ASSERT_TRUE(stmt.next());
    EXPECT_EQ(stmt.integer(0), 42);
    EXPECT_EQ(stmt.text(1), QStringLiteral("héllo 'q'"));
    EXPECT_EQ(stmt.text(3), QStringLiteral("blob"));

    EXPECT_FALSE(stmt.next());
    EXPECT_EQ(stmt.status(), SqlStatement::kOk);
}

TEST_F(SqlDatabaseTest, FailuresAreReportedNotHidden) {
    SqlDatabase db(path());
    // Closed: nothing runs.
    EXPECT_FALSE(db.prepare(QStringLiteral("SELECT 1")).isValid());
    EXPECT_FALSE(db.executeUpdate(QStringLiteral("SELECT 1")));

    ASSERT_TRUE(db.open());
    ASSERT_TRUE(
        db.executeScript(QStringLiteral("CREATE TABLE t (k INTEGER UNIQUE, n TEXT NOT NULL)")));
    EXPECT_FALSE(db.prepare(QStringLiteral("SELEC nonsense")).isValid());
    EXPECT_FALSE(db.executeUpdate(QStringLiteral("INSERT INTO missing VALUES (1)")));
    EXPECT_FALSE(db.lastError().isEmpty());

    // Too few or too many values for the placeholders.
    const QString insert = QStringLiteral("INSERT INTO t VALUES (?,?)");
    EXPECT_FALSE(db.executeUpdate(insert, {1}));
    EXPECT_FALSE(db.executeUpdate(insert, {1, "a", 2}));

    // Only a repeated key counts as "already there"; a missing value does not.
    EXPECT_FALSE(db.executeUpdate(insert, {1, QVariant()}));
    EXPECT_FALSE(SqlStatement::isUniqueViolation(db.lastStatus()));
    ASSERT_TRUE(db.executeUpdate(insert, {1, "a"}));
    EXPECT_FALSE(db.executeUpdate(insert, {1, "b"}));
    EXPECT_TRUE(SqlStatement::isUniqueViolation(db.lastStatus()));
    EXPECT_FALSE(SqlStatement::isBusyStatus(db.lastStatus()));
}

TEST_F(SqlDatabaseTest, BusyFileIsWaitedForThenReportedAsBusy) {
    SqlDatabase holder(path());
    ASSERT_TRUE(holder.open());
    ASSERT_TRUE(holder.executeScript(
        QStringLiteral("PRAGMA journal_mode=WAL; CREATE TABLE t (k INTEGER)")));
    ASSERT_TRUE(holder.executeScript(QStringLiteral("BEGIN IMMEDIATE")));

    // A short timeout runs out while the lock is held: the failure says "busy".
    SqlDatabase impatient(path());
    ASSERT_TRUE(impatient.open(SqlDatabase::Mode::ExistingOnly, 30));
    EXPECT_FALSE(impatient.executeUpdate(QStringLiteral("INSERT INTO t VALUES (1)")));
    EXPECT_TRUE(SqlStatement::isBusyStatus(impatient.lastStatus()));

    // A patient connection waits for the lock to be given up on another thread.
    std::thread release([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.executeScript(QStringLiteral("COMMIT"));
    });
    SqlDatabase patient(path());
    ASSERT_TRUE(patient.open(SqlDatabase::Mode::ExistingOnly, 5000));
    EXPECT_TRUE(patient.executeUpdate(QStringLiteral("INSERT INTO t VALUES (2)")));
    release.join();
}
