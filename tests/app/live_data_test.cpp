// The program's live-data path against the simulated unit: records in, tables and archive out.
#include "app/app_services.h"
#include "app/maindebugmega.h"
#include "link/frame_assembler.h"
#include "link/frame_codec.h"
#include "measurements/cp1251.h"
#include "protocol/query_mode.h"
#include "sim/simulated_serial_port.h"
#include "sim/simulated_unit.h"
#include "support/simulated_unit_form.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kv7m;
using namespace kv7m::test;

namespace {

// A record as the unit sent it, decoded here independently of the program.
struct SentRecord {
    int channel;
    QByteArray data;
};

QString general(double value, int digits)
{
    QString text = QString::number(value, 'g', digits);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

int word(const QByteArray& data, int k)
{
    return std::uint8_t(data[k]) << 8 | std::uint8_t(data[k + 1]);
}

// The 11 cells the program must show and archive for a 60-byte record received at 14:07:09.
QStringList expectedCells(const SentRecord& r)
{
    const QByteArray& d = r.data;
    QString alarm = QStringLiteral("-");
    if (d[5] & 0x08)
        alarm = QStringLiteral("Минимум");
    if (d[5] & 0x10)
        alarm = QStringLiteral("Максимум");
    if (d[5] & 0x20)
        alarm = QStringLiteral("Авар. максимум");
    return {QStringLiteral("Канал %1").arg(r.channel + 1),
            QStringLiteral("14:07:09"),
            general(word(d, 12) * 0.01, 6),
            general(word(d, 22) * 0.1, 6),
            general(std::int16_t(word(d, 42)) * 0.1, 5),
            general(std::int16_t(word(d, 40)) * 0.1, 5),
            QString::number(word(d, 44)),
            general(word(d, 50) * 0.1, 5),
            general(word(d, 52) * 0.1, 5),
            alarm,
            QString::number(std::uint8_t(d[0]))};
}

QByteArray archiveLine(const QStringList& cells)
{
    QByteArray line;
    for (const QString& cell : cells)
        line += toCp1251(cell) + '\t';
    return line + "\r\n";
}

class LiveData : public SimulatedUnitForm {
protected:
    explicit LiveData(bool active) : SimulatedUnitForm(unitOptions(active))
    {
        QObject::connect(&unit, &sim::SimulatedUnit::transmit, [this](const QByteArray& bytes) { watch(bytes); });
        QObject::connect(&port, &sim::SimulatedSerialPort::sentToUnit, [this](const QByteArray& bytes) {
            // Measurement requests ":0134CC.." name the polled channel index.
            if (bytes.startsWith(":0134"))
                polled.append(bytes.mid(5, 2).toInt(nullptr, 16));
        });
    }

    static sim::UnitOptions unitOptions(bool active)
    {
        sim::UnitOptions options;
        options.activeMode = active;
        options.seed = 7;
        options.channels[4] = sim::ChannelMode::Silent;
        options.channels[6] = sim::ChannelMode::NotConnected;
        return options;
    }

    QString dayFile(int channel) const
    {
        return QDir(dataPath()).filePath(QStringLiteral("2026/Март/5/Измерения по каналу %1.mes").arg(channel + 1));
    }

    void watch(const QByteArray& bytes)
    {
        for (const char c : bytes) {
            if (assembler.feed(std::uint8_t(c)) != FrameAssembler::Result::Complete)
                continue;
            std::vector<std::uint8_t> frame(assembler.frame().begin(), assembler.frame().end());
            int length = 0;
            if (decodeReplyFrame(frame.data(), frame.size(), length) && frame[1] == 52 && length == 63)
                sent.append({frame[4], QByteArray(reinterpret_cast<const char*>(frame.data() + 2), 60)});
        }
    }

    QStringList tableRow(int row) const
    {
        QStringList texts;
        for (int c = 0; c < 11; ++c)
            texts << form->SmallTableInfo->item(row, c)->text();
        return texts;
    }

    int archivedLines() const
    {
        int lines = 0;
        for (int channel = 0; channel < 8; ++channel) {
            QFile file(dayFile(channel));
            if (file.open(QIODevice::ReadOnly))
                lines += int(file.readAll().count("\r\n")) - 1;
        }
        return lines;
    }

    // Every record the unit has sent so far, as the archive must hold it.
    void expectArchiveHoldsEverySentRecord()
    {
        QByteArray heading;
        for (const char* h : {"Имя канала", "Время", "Влажность, %", "Плотность, кг/м3", "Т1, град С", "Т2, град С",
                              "Период", "CS1", "CS2", "Сигнализация", "Адрес датчика"})
            heading += toCp1251(QString::fromUtf8(h)) + '\t';
        heading += "\r\n";
        for (int channel = 0; channel < 8; ++channel) {
            QByteArray expected;
            for (const SentRecord& r : sent) {
                if (r.channel == channel)
                    expected += archiveLine(expectedCells(r));
            }
            QFile file(dayFile(channel));
            if (expected.isEmpty()) {
                EXPECT_FALSE(file.exists()) << "channel " << channel + 1;
                continue;
            }
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "channel " << channel + 1;
            EXPECT_EQ(file.readAll(), heading + expected) << "channel " << channel + 1;
        }
    }

    FrameAssembler assembler;
    QList<SentRecord> sent;
    QList<int> polled;
};

class ActiveUnitLiveData : public LiveData {
protected:
    ActiveUnitLiveData() : LiveData(true) {}
};

TEST_F(ActiveUnitLiveData, EveryRecordReachesTheTableAndTheArchive)
{
    // Two seconds of records: six measuring channels and one not connected, one silent.
    ASSERT_TRUE(QTest::qWaitFor([this] { return sent.size() >= 12 && archivedLines() == sent.size(); }, 10000))
        << sent.size() << " sent, " << archivedLines() << " archived";
    EXPECT_TRUE(prompter.prompts.isEmpty());
    EXPECT_EQ(form->statusPanelText(TMainForm::PortPanel), QStringLiteral("SIM"));

    for (int channel = 0; channel < 8; ++channel) {
        const SentRecord* last = nullptr;
        for (const SentRecord& r : sent) {
            if (r.channel == channel)
                last = &r;
        }
        if (last) {
            EXPECT_EQ(tableRow(channel + 1), expectedCells(*last)) << "channel " << channel + 1;
        }
    }
    EXPECT_EQ(tableRow(5), QStringList(11, QString())) << "the silent channel's row stays empty";
    EXPECT_EQ(form->SmallTableInfo->item(7, 10)->text(), QStringLiteral("не подключен"));
    expectArchiveHoldsEverySentRecord();

    // The channel tab shows channel 1's records of today, as archived.
    int channelOne = 0;
    for (const SentRecord& r : sent)
        channelOne += r.channel == 0;
    EXPECT_EQ(form->ChannelFullGrid->rowCount(), 1 + channelOne);
}

class PolledUnitLiveData : public LiveData {
protected:
    PolledUnitLiveData() : LiveData(false) {}
};

TEST_F(PolledUnitLiveData, QueryModePollsAndMarksTheSilentChannel)
{
    form->protocolState().ReplyTimeOut = 1;
    form->protocolState().PolledChannel = 3;
    form->MMQerryReg->trigger();
    EXPECT_TRUE(form->MMQerryReg->isChecked());
    EXPECT_FALSE(form->MMBOActive->isChecked());

    // Channel 4 answers; channel 5 is asked, stays silent and is marked; channel 6 is asked next.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->SmallTableInfo->item(6, 2)->text().isEmpty(); }, 15000));
    ASSERT_GE(polled.size(), 3);
    EXPECT_EQ(polled.mid(0, 3), (QList<int>{3, 4, 5}));
    EXPECT_FALSE(form->SmallTableInfo->item(4, 2)->text().isEmpty());
    EXPECT_EQ(form->SmallTableInfo->item(5, 9)->text(), QStringLiteral("ТВМ не отвечает"));
    EXPECT_EQ(form->SmallTableInfo->item(5, 1)->text(), QStringLiteral("-"));

    form->MMBOActive->trigger();
    EXPECT_FALSE(form->queryMode().isQueryMode());
    EXPECT_FALSE(form->queryMode().QerryTimer->isActive());
    ASSERT_TRUE(QTest::qWaitFor([this] { return archivedLines() == sent.size(); }, 5000));
    expectArchiveHoldsEverySentRecord();
}

}  // namespace
