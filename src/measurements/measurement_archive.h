#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kv7m {

class Prompter;

// Russian month names of the archive folders, months 1..12.
QString archiveMonthName(int month);

// DataPath/year/month name/day of a record; `yearByte` is the year - 2000.
QString archiveFolderPath(const QString& dataPath, int yearByte, int month, int day);
// The day file of channel number 1..8 in that folder.
QString archiveFilePath(const QString& dataPath, int channelNumber, int yearByte, int month, int day);

// The measurement archive: one text file per channel per day, code page 1251, every cell followed
// by TAB, every line ended by CR LF, a heading line first.
class MeasurementArchive {
public:
    explicit MeasurementArchive(Prompter& prompter);

    // Appends one record line of the 11 `cells` (an empty cell is written as "-" and set to "-" in
    // `cells` too) to the file of channel index 0..7 for the record's day. A new file first gets
    // the heading line of the 11 `headings`. Every failure is reported; returns true when the
    // line is in the file.
    bool AppendArchiveRecord(const QString& dataPath, int channelIndex, int day, int month, int yearByte,
                             const QStringList& headings, QStringList& cells);

    // The record lines of a day file, each as its cells (the heading line is skipped). Nothing
    // when the file cannot be read.
    static std::optional<QList<QStringList>> readArchiveFile(const QString& path);

private:
    Prompter& m_prompter;
};

namespace archive_text {
inline const QString CannotCreateFolder = QStringLiteral("Невозможно создать каталог хранения архива");
inline const QString CannotCreateFile = QStringLiteral("Невозможно создать файл архива");
inline const QString CannotWriteFile = QStringLiteral("Невозможно записать в файл архива");
}  // namespace archive_text

}  // namespace kv7m
