#include "measurements/channel_view.h"

#include "measurements/measurement_archive.h"
#include "measurements/memory_grid.h"
#include "measurements/system_table.h"
#include "support/fixed_clock.h"
#include "support/scripted_prompter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

class ChannelViewTest : public ::testing::Test {
protected:
    QStringList cells(int channel, const QString& time)
    {
        return {QStringLiteral("Канал %1").arg(channel + 1),
                time,
                "12,34",
                "850",
                "-10",
                "20,5",
                "3000",
                "100",
                "112,3",
                "-",
                "21"};
    }

    // Archives a record of today (5 March 2026) for a channel.
    void archive(int channel, const QString& time, int day = 5)
    {
        QStringList line = cells(channel, time);
        ASSERT_TRUE(archiver.AppendArchiveRecord(dir.path(), channel, day, 3, 26, measurementHeadings(), line));
    }

    QStringList gridRow(int row) const
    {
        QStringList texts;
        for (int c = 0; c < 11; ++c)
            texts << channelGrid.text(row, c);
        return texts;
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    MeasurementArchive archiver{prompter};
    FixedClock clock;
    MemoryGrid channelGrid{2, 11};
    MemoryGrid systemGrid{9, 11};
    int selected = 0;
    ChannelView view{channelGrid, systemGrid, clock, [this] { return selected; }, [this] { return dir.path(); }};
};

TEST_F(ChannelViewTest, RebuildsFromTodaysArchiveOfTheChannel)
{
    archive(2, "10:00:00");
    archive(2, "10:00:01");
    archive(2, "10:00:02");
    archive(1, "10:00:03");
    archive(2, "09:00:00", 4);  // yesterday
    selected = 2;
    view.ResetChannelView(2);
    ASSERT_EQ(channelGrid.rowCount(), 4);
    EXPECT_EQ(gridRow(1), cells(2, "10:00:00"));
    EXPECT_EQ(gridRow(3), cells(2, "10:00:02"));

    // A channel without a file today: the heading row and one empty row.
    view.ResetChannelView(5);
    EXPECT_EQ(channelGrid.rowCount(), 2);
    EXPECT_EQ(gridRow(1), QStringList(11, QString()));
}

TEST_F(ChannelViewTest, AppendsOnlyTheSelectedChannelOfTheTrackedDay)
{
    view.checkNewDay();
    ASSERT_EQ(view.trackedDay(), 5);
    for (int c = 0; c < 11; ++c) {
        systemGrid.setText(1, c, cells(0, "11:00:00")[c]);
        systemGrid.setText(2, c, cells(1, "11:00:00")[c]);
    }
    view.AppendChannelRow(0, 5);  // fills the empty row 1
    EXPECT_EQ(channelGrid.rowCount(), 2);
    view.AppendChannelRow(0, 5);  // adds a row
    view.AppendChannelRow(1, 5);  // another channel: archived, not shown
    view.AppendChannelRow(0, 4);  // yesterday's stamp: not shown
    // Only the day of the month is compared, whatever the record's month.
    view.AppendChannelRow(0, 5);
    EXPECT_EQ(channelGrid.rowCount(), 4);
    EXPECT_EQ(gridRow(3), cells(0, "11:00:00"));
}

TEST_F(ChannelViewTest, NewDayRebuildsWithinATick)
{
    archive(0, "23:59:59");
    view.checkNewDay();
    EXPECT_EQ(channelGrid.rowCount(), 2);
    EXPECT_EQ(gridRow(1), cells(0, "23:59:59"));
    view.checkNewDay();  // same day: nothing changes
    EXPECT_EQ(channelGrid.rowCount(), 2);

    clock.time = QDateTime(QDate(2026, 3, 6), QTime(0, 0, 1));
    view.checkNewDay();
    EXPECT_EQ(view.trackedDay(), 6);
    EXPECT_EQ(channelGrid.rowCount(), 2);
    EXPECT_EQ(gridRow(1), QStringList(11, QString())) << "the new day's file does not exist yet";
}

}  // namespace
