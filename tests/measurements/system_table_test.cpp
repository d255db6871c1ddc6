#include "measurements/system_table.h"

#include "measurements/memory_grid.h"
#include "protocol/protocol_state.h"
#include "support/fixed_clock.h"

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

// Data bytes of a reply 52: a measurement of channel `channel` with a few fields set.
QByteArray measurement(int channel, int dataBytes = 60)
{
    QByteArray data(dataBytes, char(0));
    data[0] = char(21);  // sensor address
    data[2] = char(channel);
    data[12] = char(0x04);  // moisture 1234 -> 12.34
    data[13] = char(0xD2);
    data[22] = char(0x21);  // density 8500 -> 850
    data[23] = char(0x34);
    data[40] = char(0x00);  // T2 205 -> 20.5
    data[41] = char(0xCD);
    data[42] = char(0xFF);  // T1 -100 -> -10
    data[43] = char(0x9C);
    data[44] = char(0x0B);  // period 3000
    data[45] = char(0xB8);
    data[50] = char(0x03);  // CS1 1000 -> 100
    data[51] = char(0xE8);
    data[52] = char(0x04);  // CS2 1123 -> 112.3
    data[53] = char(0x63);
    return data;
}

QByteArray stamped(int channel, int second, int minute, int hour, int day, int month, int year)
{
    QByteArray data = measurement(channel, 66);
    const int stamp[] = {second, minute, hour, day, month, year};
    for (int i = 0; i < 6; ++i)
        data[60 + i] = char(stamp[i]);
    return data;
}

QByteArray status(int sensor, int type, int channel)
{
    QByteArray data(3, char(0));
    data[0] = char(sensor);
    data[1] = char(type);
    data[2] = char(channel);
    return data;
}

struct Archived {
    int channel, day, month, year;
    bool operator==(const Archived&) const = default;
};

class SystemTableTest : public ::testing::Test {
protected:
    explicit SystemTableTest(QChar separator = QLatin1Char(','))
        : table(state, grid, clock, separator,
                MeasurementHooks{[this] { ++fits; },
                                 [this](int c, int day) {
                                     channelRows.append({c, day});
                                 },
                                 [this](int c, int d, int m, int y) {
                                     archived.append({c, d, m, y});
                                 },
                                 [this] { ++accepted; }})
    {
        state.MainTableClearTimeOut = 60;
    }

    // Puts a reply 52 with these data bytes into RxFrame, as the decoder leaves it, and handles it.
    void receive(const QByteArray& data)
    {
        state.RxFrame[0] = 1;
        state.RxFrame[1] = 52;
        for (int k = 0; k < data.size(); ++k)
            state.RxFrame[std::size_t(2 + k)] = std::uint8_t(data[k]);
        state.RxFrame[std::size_t(2 + data.size())] = 0xAA;  // LRC, not looked at
        state.RxLength = int(data.size()) + 3;
        table.HandleMeasurementReply();
    }

    QStringList row(int r) const
    {
        QStringList texts;
        for (int c = 0; c < 11; ++c)
            texts << grid.text(r, c);
        return texts;
    }

    ProtocolState state;
    MemoryGrid grid{9, 11};
    FixedClock clock;
    SystemTable table;
    int fits = 0;
    int accepted = 0;
    QList<std::pair<int, int>> channelRows;
    QList<Archived> archived;
};

TEST_F(SystemTableTest, RecordWithoutStampShowsThePcTime)
{
    receive(measurement(2));
    EXPECT_EQ(row(3),
              (QStringList{"Канал 3", "14:07:09", "12,34", "850", "-10", "20,5", "3000", "100", "112,3", "-", "21"}));
    EXPECT_EQ(archived, (QList<Archived>{{2, 5, 3, 26}}));
    EXPECT_EQ(channelRows, (QList<std::pair<int, int>>{{2, 5}}));
    EXPECT_EQ(accepted, 1);
    EXPECT_GE(fits, 1);
    EXPECT_DOUBLE_EQ(state.LastCS1[2], 100.0);
    EXPECT_DOUBLE_EQ(state.LastT2[2], 20.5);
}

class SystemTableWithPoint : public SystemTableTest {
protected:
    SystemTableWithPoint() : SystemTableTest(QLatin1Char('.')) {}
};

TEST_F(SystemTableWithPoint, NumbersTakeTheLocaleSeparator)
{
    receive(measurement(0));
    EXPECT_EQ(grid.text(1, 2), QStringLiteral("12.34"));
    EXPECT_EQ(grid.text(1, 4), QStringLiteral("-10"));
    EXPECT_EQ(grid.text(1, 5), QStringLiteral("20.5"));
    EXPECT_DOUBLE_EQ(state.LastT2[0], 20.5);
}

TEST_F(SystemTableTest, GeneralFormatDropsTrailingZeros)
{
    struct Case {
        int raw;
        const char* text;
    };
    for (const Case& c : {Case{1234, "12,34"}, Case{1230, "12,3"}, Case{1200, "12"}, Case{0, "0"},
                          Case{65535, "655,35"}, Case{5, "0,05"}}) {
        QByteArray data = measurement(1);
        data[12] = char(c.raw >> 8);
        data[13] = char(c.raw & 0xFF);
        receive(data);
        EXPECT_EQ(grid.text(2, 2), QString::fromLatin1(c.text)) << c.raw;
    }
}

TEST_F(SystemTableTest, StampedRecordKeepsTheUnitTimeAndOutOfRangeStampsAreDropped)
{
    receive(stamped(4, 5, 6, 7, 8, 9, 25));
    EXPECT_EQ(grid.text(5, 1), QStringLiteral("07:06:05"));
    EXPECT_EQ(archived.last(), (Archived{4, 8, 9, 25}));

    struct Case {
        const char* name;
        int s, m, h, d, mo, y;
        bool accepted;
    };
    const Case cases[] = {{"hour24", 0, 0, 24, 1, 1, 26, false},     {"minute60", 0, 60, 1, 1, 1, 26, false},
                          {"second60", 60, 0, 1, 1, 1, 26, false},   {"day32", 0, 0, 1, 32, 1, 26, false},
                          {"month13", 0, 0, 1, 1, 13, 26, false},    {"year101", 0, 0, 1, 1, 1, 101, false},
                          {"dayAndMonth0", 0, 0, 1, 0, 0, 26, true}, {"limits", 59, 59, 23, 31, 12, 100, true}};
    for (const Case& c : cases) {
        const QStringList before = row(5);
        const qsizetype archivedBefore = archived.size();
        const int acceptedBefore = accepted;
        QByteArray data = stamped(4, c.s, c.m, c.h, c.d, c.mo, c.y);
        data[13] = char(0xD3);  // a different moisture, to see whether the row changed
        receive(data);
        EXPECT_EQ(archived.size() > archivedBefore, c.accepted) << c.name;
        EXPECT_EQ(accepted > acceptedBefore, c.accepted) << c.name;
        if (!c.accepted) {
            EXPECT_EQ(row(5), before) << c.name;
        }
    }
}

TEST_F(SystemTableTest, AlarmFlagsTheLastNamedWins)
{
    struct Case {
        int flags;
        const char* text;
        VclColor color;
    };
    const Case cases[] = {
        {0x08, "Минимум", color::Green},      {0x10, "Максимум", color::Purple},
        {0x20, "Авар. максимум", color::Red}, {0x38, "Авар. максимум", color::Red},
        {0x18, "Максимум", color::Purple},    {0x00, "-", color::Purple}};  // no flag leaves the colour as it was
    grid.setFontColor(1, 9, color::Purple);
    for (const Case& c : cases) {
        QByteArray data = measurement(0);
        data[5] = char(c.flags);
        receive(data);
        EXPECT_EQ(grid.text(1, 9), QString::fromUtf8(c.text)) << c.flags;
        EXPECT_EQ(grid.fontColor(1, 9), c.color) << c.flags;
    }
}

TEST_F(SystemTableTest, RepeatedNoSignalChangesTheRowOnce)
{
    receive(measurement(1));
    receive(status(33, 2, 1));
    EXPECT_EQ(row(2), (QStringList{"Канал 2", "-", "-", "-", "-", "-", "-", "-", "-", "-", "Нет сигнала (33)"}));
    EXPECT_EQ(grid.fontColor(2, 10), color::Red);
    EXPECT_DOUBLE_EQ(state.LastCS1[1], 0.0);

    // The same status again: not even column 0 is rewritten.
    grid.setText(2, 0, QStringLiteral("marker"));
    state.LastCS1[1] = 7;
    receive(status(33, 2, 1));
    EXPECT_EQ(grid.text(2, 0), QStringLiteral("marker"));
    EXPECT_DOUBLE_EQ(state.LastCS1[1], 7.0);

    // A measurement in between makes the next one repaint the row.
    receive(measurement(1));
    receive(status(33, 2, 1));
    EXPECT_EQ(grid.text(2, 2), QStringLiteral("-"));
    EXPECT_EQ(grid.text(2, 0), QStringLiteral("Канал 2"));
}

TEST_F(SystemTableTest, OtherStatusesOnlyRenameAndZero)
{
    receive(measurement(3));
    const QStringList shown = row(4);
    for (const int type : {3, 5, 15}) {
        state.LastCS1[3] = 5;
        state.LastT2[3] = 5;
        grid.setText(4, 0, QString());
        const int fitsBefore = fits;
        receive(status(9, type, 3));
        EXPECT_EQ(row(4), shown) << type;
        EXPECT_DOUBLE_EQ(state.LastCS1[3], 0.0);
        EXPECT_DOUBLE_EQ(state.LastT2[3], 0.0);
        EXPECT_GT(fits, fitsBefore);
    }
    EXPECT_EQ(archived.size(), 1) << "status records are not archived";
}

TEST_F(SystemTableTest, NotConnectedAndMeasuringInProgress)
{
    receive(status(4, 4, 6));
    EXPECT_EQ(grid.text(7, 10), QStringLiteral("не подключен"));
    EXPECT_EQ(grid.fontStyle(7, 10), CellStyle::Italic);
    EXPECT_EQ(grid.fontColor(7, 10), color::ScrollBar);
    EXPECT_EQ(grid.text(7, 0), QStringLiteral("Канал 7"));

    receive(status(4, 1, 6));
    EXPECT_EQ(grid.picture(7, 10), CellPicture::SandClock);
    EXPECT_EQ(grid.text(7, 10), QStringLiteral("не подключен")) << "the text stays";
    EXPECT_EQ(grid.fontStyle(7, 10), CellStyle::Normal);

    // A measurement shows the sensor address in place of any status.
    receive(measurement(6));
    EXPECT_EQ(grid.picture(7, 10), CellPicture::None);
    EXPECT_EQ(grid.text(7, 10), QStringLiteral("21"));
    EXPECT_EQ(grid.fontColor(7, 10), color::WindowText);
}

TEST_F(SystemTableTest, StatusRecordIsCheckedAgainstItsOwnInsertedClock)
{
    // An earlier long record left an impossible hour where a stamp would stand.
    receive(stamped(0, 0, 0, 99, 1, 1, 26));
    ASSERT_EQ(state.RxFrame[64], 99);
    receive(status(8, 4, 0));
    EXPECT_EQ(grid.text(1, 10), QStringLiteral("не подключен"));
    EXPECT_EQ(accepted, 1);
}

TEST_F(SystemTableTest, RecordOfAChannelBeyondEightIsIgnored)
{
    receive(measurement(8));
    receive(status(1, 4, 200));
    EXPECT_EQ(accepted, 0);
    EXPECT_TRUE(archived.isEmpty());
}

TEST_F(SystemTableTest, StaleRowsAreClearedAfterTheTimeOut)
{
    state.MainTableClearTimeOut = 2;
    state.StaleCountdown.fill(2);
    receive(measurement(0));
    receive(measurement(1));
    table.clearStaleRows();
    receive(measurement(1));  // channel 2 keeps getting records
    table.clearStaleRows();
    EXPECT_EQ(row(1), (QStringList{"", "", "", "", "", "", "", "", "", "", "нет данных"}));
    EXPECT_EQ(grid.fontStyle(1, 10), CellStyle::Italic);
    EXPECT_EQ(grid.fontColor(1, 10), color::ScrollBar);
    EXPECT_DOUBLE_EQ(state.LastCS1[0], 0.0);
    EXPECT_EQ(grid.text(2, 2), QStringLiteral("12,34"));
    EXPECT_DOUBLE_EQ(state.LastCS1[1], 100.0);

    // A time-out of 0 clears nothing.
    state.MainTableClearTimeOut = 0;
    for (int i = 0; i < 5; ++i)
        table.clearStaleRows();
    EXPECT_EQ(grid.text(2, 2), QStringLiteral("12,34"));
}

}  // namespace
