#include "measurements/measurement_archive.h"

namespace kv7m {

QString archiveMonthName(int) { return {}; }
QString archiveFolderPath(const QString&, int, int, int) { return {}; }
QString archiveFilePath(const QString&, int, int, int, int) { return {}; }

MeasurementArchive::MeasurementArchive(Prompter& prompter) : m_prompter(prompter) {}

bool MeasurementArchive::AppendArchiveRecord(const QString&, int, int, int, int, const QStringList&, QStringList&)
{
    return false;
}

std::optional<QList<QStringList>> MeasurementArchive::readArchiveFile(const QString&) { return std::nullopt; }

}  // namespace kv7m
