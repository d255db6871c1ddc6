#include "measurements/measurement_archive.h"

#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kv7m;
using namespace kv7m::test;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows toRows(const QList<QStringList>& lines)
{
    Rows rows;
    for (const QStringList& line : lines) {
        rows.emplace_back();
        for (const QString& cell : line)
            rows.back().push_back(cell.toStdString());
    }
    return rows;
}

std::vector<std::string> toStrings(const QStringList& cells)
{
    return toRows({cells}).front();
}

const QStringList kHeadings = {
    QStringLiteral("Имя канала"),       QStringLiteral("Время"),         QStringLiteral("Влажность, %"),
    QStringLiteral("Плотность, кг/м3"), QStringLiteral("Т1, град С"),    QStringLiteral("Т2, град С"),
    QStringLiteral("Период"),           QStringLiteral("CS1"),           QStringLiteral("CS2"),
    QStringLiteral("Сигнализация"),     QStringLiteral("Адрес датчика"),
};

// The heading line above in code page 1251.
const QByteArray kHeadingLine = "\xC8\xEC\xFF \xEA\xE0\xED\xE0\xEB\xE0\t"    // Имя канала
                                "\xC2\xF0\xE5\xEC\xFF\t"                     // Время
                                "\xC2\xEB\xE0\xE6\xED\xEE\xF1\xF2\xFC, %\t"  // Влажность, %
                                "\xCF\xEB\xEE\xF2\xED\xEE\xF1\xF2\xFC, \xEA\xE3/\xEC"
                                "3\t"  // Плотность, кг/м3
                                "\xD2"
                                "1, \xE3\xF0\xE0\xE4 \xD1\t"  // Т1, град С
                                "\xD2"
                                "2, \xE3\xF0\xE0\xE4 \xD1\t"  // Т2, град С
                                "\xCF\xE5\xF0\xE8\xEE\xE4\t"  // Период
                                "CS1\tCS2\t"
                                "\xD1\xE8\xE3\xED\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF\t"   // Сигнализация
                                "\xC0\xE4\xF0\xE5\xF1 \xE4\xE0\xF2\xF7\xE8\xEA\xE0\t"  // Адрес датчика
                                "\r\n";

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

void expectOneErrorBox(const ScriptedPrompter& prompter, const QString& text)
{
    ASSERT_EQ(prompter.prompts.size(), 1);
    const Prompt& prompt = prompter.prompts.front();
    EXPECT_EQ(prompt.caption.toStdString(), "КВ7М");
    EXPECT_EQ(prompt.text.toStdString(), text.toStdString());
    EXPECT_EQ(prompt.icon, PromptIcon::Error);
    EXPECT_EQ(prompt.buttons, PromptButtons::Ok);
}

// A record of channel 3 on 5 March 2026 (the unit's year byte 26).
class ArchiveWriting : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    bool append(QStringList& cells, int channelIndex = 2, int day = 5, int month = 3)
    {
        return archive.AppendArchiveRecord(dataPath, channelIndex, day, month, 26, kHeadings, cells);
    }
    QString dayFile() const { return dir.filePath(QStringLiteral("data/2026/Март/5/Измерения по каналу 3.mes")); }

    QTemporaryDir dir;
    QString dataPath = dir.filePath(QStringLiteral("data"));
    ScriptedPrompter prompter;
    MeasurementArchive archive{prompter};
};

}  // namespace

TEST(ArchivePaths, MonthNames)
{
    const char* const names[] = {"",     "Январь", "Февраль",  "Март",    "Апрель", "Май",     "Июнь",
                                 "Июль", "Август", "Сентябрь", "Октябрь", "Ноябрь", "Декабрь", ""};
    for (int month = 0; month <= 13; ++month)
        EXPECT_EQ(archiveMonthName(month).toStdString(), names[month]) << month;
    EXPECT_TRUE(archiveMonthName(-1).isEmpty());
}

TEST(ArchivePaths, FolderOfARecordStaysBelowTheDataFolder)
{
    struct Case {
        QString dataPath;
        int yearByte, month, day;
        QString folder;
    };
    const Case cases[] = {
        {QStringLiteral("/data"), 26, 3, 5, QStringLiteral("/data/2026/Март/5")},
        {QStringLiteral("/data/"), 26, 3, 5, QStringLiteral("/data/2026/Март/5")},
        {QStringLiteral("/data"), 0, 12, 31, QStringLiteral("/data/2000/Декабрь/31")},
        {QStringLiteral("/data"), 255, 1, 1, QStringLiteral("/data/2255/Январь/1")},
        // Month 0 has no name; no empty component may climb or jump out of the year folder.
        {QStringLiteral("/data"), 26, 0, 5, QStringLiteral("/data/2026/5")},
        {QStringLiteral("/data"), 26, 13, 0, QStringLiteral("/data/2026/0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        EXPECT_EQ(archiveFolderPath(c.dataPath, c.yearByte, c.month, c.day).toStdString(), c.folder.toStdString());
    }
    EXPECT_EQ(archiveFilePath(QStringLiteral("/data"), 3, 26, 3, 5).toStdString(),
              "/data/2026/Март/5/Измерения по каналу 3.mes");
    EXPECT_EQ(archiveFilePath(QStringLiteral("/data"), 8, 26, 0, 5).toStdString(),
              "/data/2026/5/Измерения по каналу 8.mes");
}

TEST_F(ArchiveWriting, RecordsOfADayShareOneHeadingLine)
{
    QStringList alarm = {QStringLiteral("Канал 3"),        QStringLiteral("10:15:30"), QStringLiteral("12,34"),
                         QStringLiteral("1500"),           QStringLiteral("-10"),      QStringLiteral("25,5"),
                         QStringLiteral("1234"),           QStringLiteral("567"),      QStringLiteral("89"),
                         QStringLiteral("Авар. максимум"), QStringLiteral("17")};
    const QStringList alarmAsGiven = alarm;
    QStringList sparse = {QStringLiteral("Канал 3"),
                          QStringLiteral("10:15:31"),
                          QString(),
                          QStringLiteral("1500"),
                          QString(),
                          QStringLiteral("25,5"),
                          QStringLiteral("1234"),
                          QStringLiteral("567"),
                          QStringLiteral("89"),
                          QString(),
                          QStringLiteral("17")};

    EXPECT_TRUE(append(alarm));
    EXPECT_TRUE(append(sparse));

    const QByteArray expected = kHeadingLine +
                                "\xCA\xE0\xED\xE0\xEB 3\t10:15:30\t12,34\t1500\t-10\t25,5\t1234\t567\t89\t"
                                "\xC0\xE2\xE0\xF0. \xEC\xE0\xEA\xF1\xE8\xEC\xF3\xEC\t17\t\r\n"  // Авар. максимум
                                "\xCA\xE0\xED\xE0\xEB 3\t10:15:31\t-\t1500\t-\t25,5\t1234\t567\t89\t-\t17\t\r\n";
    EXPECT_EQ(readBytes(dayFile()).toHex(' ').toStdString(), expected.toHex(' ').toStdString());
    EXPECT_TRUE(prompter.prompts.isEmpty());

    // The caller shows the cells as written.
    EXPECT_EQ(toStrings(alarm), toStrings(alarmAsGiven));
    EXPECT_EQ(sparse[2].toStdString(), "-");
    EXPECT_EQ(sparse[4].toStdString(), "-");
    EXPECT_EQ(sparse[9].toStdString(), "-");
}

TEST_F(ArchiveWriting, EachChannelAndDayHasItsOwnFile)
{
    QStringList cells(11, QStringLiteral("x"));
    ASSERT_TRUE(append(cells, 0, 5, 3));
    ASSERT_TRUE(append(cells, 7, 5, 3));
    ASSERT_TRUE(append(cells, 7, 31, 12));
    ASSERT_TRUE(append(cells, 7, 1, 0));
    const QByteArray oneRecord = kHeadingLine + "x\tx\tx\tx\tx\tx\tx\tx\tx\tx\tx\t\r\n";
    for (const char* file : {"2026/Март/5/Измерения по каналу 1.mes", "2026/Март/5/Измерения по каналу 8.mes",
                             "2026/Декабрь/31/Измерения по каналу 8.mes", "2026/1/Измерения по каналу 8.mes"})
        EXPECT_EQ(readBytes(QDir(dataPath).filePath(QString::fromUtf8(file))), oneRecord) << file;
}

TEST_F(ArchiveWriting, EmptyExistingFileGetsTheHeadingFirst)
{
    // Left so by a heading that never reached the disk; the reader would drop the first record.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(dayFile()).path()));
    ASSERT_TRUE(writeBytes(dayFile(), {}));
    QStringList cells(11, QStringLiteral("x"));
    ASSERT_TRUE(append(cells));
    EXPECT_EQ(readBytes(dayFile()), kHeadingLine + "x\tx\tx\tx\tx\tx\tx\tx\tx\tx\tx\t\r\n");
}

TEST_F(ArchiveWriting, ReadsBackTheRecordsWritten)
{
    std::vector<QStringList> records;
    for (int i = 0; i < 3; ++i) {
        records.push_back({QStringLiteral("Канал 3"), QStringLiteral("10:15:3%1").arg(i),
                           QStringLiteral("12,3%1").arg(i), QStringLiteral("1500"), QStringLiteral("-10"),
                           QStringLiteral("25,5"), QStringLiteral("1234"), QStringLiteral("567"), QStringLiteral("89"),
                           i == 1 ? QStringLiteral("Авар. минимум") : QString(), QStringLiteral("17")});
        ASSERT_TRUE(append(records.back()));
    }
    const auto rows = MeasurementArchive::readArchiveFile(dayFile());
    ASSERT_TRUE(rows.has_value());
    EXPECT_EQ(toRows(*rows), toRows({records.begin(), records.end()}));
}

TEST(ArchiveReading, ScanRules)
{
    const std::string cell511(511, 'a');
    struct Case {
        const char* name;
        QByteArray bytes;
        Rows rows;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"no line end at all", "a\tb\tc\td\t", {}},
        {"heading only", "H1\tH2\t\r\n", {}},
        {"heading is never a record", "\xCA\t\r\n\xCA\t\r\n", {{"К"}}},
        {"text after the last line end", "H\t\r\na\tb\t\r\nc\td\t", {{"a", "b"}}},
        {"cell not closed by a TAB", "H\t\r\na\tb\r\n", {{"a"}}},
        {"CR without LF belongs to the cell", "H\t\r\na\rb\t\r\n", {{"a\rb"}}},
        {"LF without CR belongs to the cell", "H\t\r\na\nb\t\r\n", {{"a\nb"}}},
        {"CR before the line end", "H\t\r\na\t\r\r\n", {{"a"}}},
        {"CR at the very end", "H\t\r\na\t\r", {}},
        {"empty line and empty cells", "H\t\r\n\r\n\t\t\r\n", {{}, {"", ""}}},
        {"cell of 511 characters", QByteArray("H\t\r\n") + QByteArray(511, 'a') + "\t\r\n", {{cell511}}},
        {"longer cell is cut", QByteArray("H\t\r\n") + QByteArray(511, 'a') + "bcd\tz\t\r\n", {{cell511, "z"}}},
        {"cells beyond the eleventh are dropped",
         "H\t\r\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t\r\n",
         {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}}},
        {"code page 1251", "H\t\r\n\xCA\xE0\xED\xE0\xEB 1\t\xB9\xA8\t\r\n", {{"Канал 1", "№Ё"}}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("day.mes"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path, c.bytes));
        const auto rows = MeasurementArchive::readArchiveFile(path);
        ASSERT_TRUE(rows.has_value());
        EXPECT_EQ(toRows(*rows), c.rows);
    }
}

TEST(ArchiveReading, UnreadableFileGivesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(MeasurementArchive::readArchiveFile(dir.filePath(QStringLiteral("missing.mes"))).has_value());
    EXPECT_FALSE(MeasurementArchive::readArchiveFile(dir.path()).has_value());
}

TEST(ArchiveFailures, ReportedAndRecordRefused)
{
    struct Case {
        const char* name;
        bool emptyDataPath;
        std::function<bool(const QDir& data)> prepare;
        QString text;  // "%1": the day file's native path
    };
    const auto fileAt = [](const QDir& data, const char* path) {
        return QDir().mkpath(QFileInfo(data.filePath(QString::fromUtf8(path))).path()) &&
               writeBytes(data.filePath(QString::fromUtf8(path)), "x");
    };
    const Case cases[] = {
        {"empty data folder", true, [](const QDir&) { return true; }, archive_text::CannotCreateFolder},
        {"file where the year folder belongs", false, [&](const QDir& data) { return fileAt(data, "2026"); },
         archive_text::CannotCreateFolder},
        {"file where the day folder belongs", false, [&](const QDir& data) { return fileAt(data, "2026/Март/5"); },
         archive_text::CannotCreateFolder},
        {"folder where the day file belongs", false,
         [](const QDir& data) {
             return QDir().mkpath(data.filePath(QStringLiteral("2026/Март/5/Измерения по каналу 3.mes")));
         },
         archive_text::CannotWriteFile + QStringLiteral("\n%1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QDir data(dir.filePath(QStringLiteral("data")));
        ASSERT_TRUE(c.prepare(data));
        ScriptedPrompter prompter;
        MeasurementArchive archive(prompter);
        QStringList cells(11, QStringLiteral("x"));
        cells[4].clear();

        EXPECT_FALSE(
            archive.AppendArchiveRecord(c.emptyDataPath ? QString() : data.path(), 2, 5, 3, 26, kHeadings, cells));
        const QString file = archiveFilePath(data.path(), 3, 26, 3, 5);
        expectOneErrorBox(prompter,
                          c.text.contains(QStringLiteral("%1")) ? c.text.arg(QDir::toNativeSeparators(file)) : c.text);
        // The row shows the same dashes as a record that was written.
        EXPECT_EQ(cells[4].toStdString(), "-");
    }
}

// Symbolic links and /dev/full stand in for a disk that refuses the file or the bytes.
TEST(ArchiveFailures, FileThatCannotBeCreated)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "needs a symbolic link";
#else
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString file = archiveFilePath(data, 3, 26, 3, 5);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    // A link into a missing folder: the file does not exist, and creating it fails even for root.
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("missing/target.mes")), file));
    ScriptedPrompter prompter;
    MeasurementArchive archive(prompter);
    QStringList cells(11, QStringLiteral("x"));

    EXPECT_FALSE(archive.AppendArchiveRecord(data, 2, 5, 3, 26, kHeadings, cells));
    expectOneErrorBox(prompter, archive_text::CannotCreateFile);
#endif
}

TEST(ArchiveFailures, WriteThatFailsIsNotLostSilently)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "needs /dev/full";
#else
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString file = archiveFilePath(data, 3, 26, 3, 5);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), file));
    ScriptedPrompter prompter;
    MeasurementArchive archive(prompter);
    QStringList cells(11, QStringLiteral("x"));

    EXPECT_FALSE(archive.AppendArchiveRecord(data, 2, 5, 3, 26, kHeadings, cells));
    expectOneErrorBox(prompter, archive_text::CannotWriteFile + QLatin1Char('\n') + QDir::toNativeSeparators(file));
#endif
}
