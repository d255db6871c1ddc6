#include "measurements/measurement_archive.h"

#include "app/prompter.h"
#include "measurements/cp1251.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace kv7m {

namespace {

constexpr qsizetype kCellsPerLine = 11;
// The channel view's cell buffer; longer cells are cut rather than refused.
constexpr qsizetype kMaxCellLength = 511;

// Every cell is followed by TAB, so a spreadsheet sees 11 columns even when the last one is empty.
QByteArray tabbedLine(const QStringList& cells)
{
    QByteArray line;
    for (const QString& cell : cells) {
        line += toCp1251(cell);
        line += '\t';
    }
    line += "\r\n";
    return line;
}

constexpr std::array<const char16_t*, 12> kMonthNames = {
    u"Январь", u"Февраль", u"Март",     u"Апрель",  u"Май",    u"Июнь",
    u"Июль",   u"Август",  u"Сентябрь", u"Октябрь", u"Ноябрь", u"Декабрь",
};

}  // namespace

QString archiveMonthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf16(kMonthNames[month - 1]);
}

QString archiveFolderPath(const QString& dataPath, int yearByte, int month, int day)
{
    QStringList parts{QStringLiteral("%1").arg(2000 + yearByte, 4, 10, QLatin1Char('0'))};
    // Month 0 passes the unit's time-stamp check. Its empty name must not become an empty path
    // component; the day folder then sits directly in the year folder.
    const QString monthName = archiveMonthName(month);
    if (!monthName.isEmpty())
        parts.append(monthName);
    parts.append(QString::number(day));
    return QDir::cleanPath(QDir(dataPath).filePath(parts.join(QLatin1Char('/'))));
}

QString archiveFilePath(const QString& dataPath, int channelNumber, int yearByte, int month, int day)
{
    return QDir(archiveFolderPath(dataPath, yearByte, month, day))
        .filePath(QStringLiteral("Измерения по каналу %1.mes").arg(channelNumber));
}

MeasurementArchive::MeasurementArchive(Prompter& prompter) : m_prompter(prompter) {}

bool MeasurementArchive::AppendArchiveRecord(const QString& dataPath, int channelIndex, int day, int month,
                                             int yearByte, const QStringList& headings, QStringList& cells)
{
    // The dashes belong to the displayed row whether or not the disk takes the line.
    for (QString& cell : cells) {
        if (cell.isEmpty())
            cell = QStringLiteral("-");
    }

    // Without a data folder the archive would land at the top of the drive.
    if (dataPath.isEmpty()) {
        m_prompter.inform(kMessageCaption, archive_text::CannotCreateFolder, PromptIcon::Error);
        return false;
    }
    if (!QDir().mkpath(archiveFolderPath(dataPath, yearByte, month, day))) {
        m_prompter.inform(kMessageCaption, archive_text::CannotCreateFolder, PromptIcon::Error);
        return false;
    }

    const QString path = archiveFilePath(dataPath, channelIndex + 1, yearByte, month, day);
    const auto reportWriteFailure = [&] {
        m_prompter.inform(kMessageCaption,
                          archive_text::CannotWriteFile + QLatin1Char('\n') + QDir::toNativeSeparators(path),
                          PromptIcon::Error);
    };

    QFile file(path);
    QByteArray bytes;
    if (!QFileInfo::exists(path)) {
        // NewOnly: a file that appeared meanwhile is someone else's; it must not get a second heading.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::NewOnly)) {
            m_prompter.inform(kMessageCaption, archive_text::CannotCreateFile, PromptIcon::Error);
            return false;
        }
        bytes = tabbedLine(headings);
    } else {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            reportWriteFailure();
            return false;
        }
        // An empty file is one whose heading never made it to the disk. The reader drops line 0,
        // so without the heading the first record would vanish from the channel view.
        if (file.size() == 0)
            bytes = tabbedLine(headings);
    }
    bytes += tabbedLine(cells);

    if (file.write(bytes) != bytes.size() || !file.flush()) {
        reportWriteFailure();
        return false;
    }
    file.close();
    return true;
}

std::optional<QList<QStringList>> MeasurementArchive::readArchiveFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    file.close();

    QList<QStringList> rows;
    QStringList row;
    QByteArray cell;
    int line = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char byte = bytes.at(i);
        if (byte == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n') {
            // Line 0 is the stored heading, which the view never shows; a cell without its TAB
            // is dropped.
            if (line > 0)
                rows.append(row);
            row.clear();
            cell.clear();
            ++line;
            ++i;
            continue;
        }
        if (line == 0)
            continue;
        if (byte == '\t') {
            if (row.size() < kCellsPerLine)
                row.append(fromCp1251(cell));
            cell.clear();
            continue;
        }
        if (cell.size() < kMaxCellLength)
            cell.append(byte);
    }
    return rows;
}

}  // namespace kv7m
