#include "Utilities/UTZipArchiveItem.h"

#include <algorithm>
#include <limits>

namespace {
uint16_t nameLength(const QString& name)
{
    // Longer names cannot be written; the archive refuses them when it writes.
    const qsizetype length = name.toUtf8().size();
    return static_cast<uint16_t>(std::min<qsizetype>(length, std::numeric_limits<uint16_t>::max()));
}
}

UTZipArchiveItem::UTZipArchiveItem(QString name)
    : m_name(std::move(name))
{
    m_fileHeader.VersionToExtract = 10;
    m_fileHeader.FilenameLength = nameLength(m_name);
}

UTZipArchiveItem::UTZipArchiveItem(QString name, const SZipFileHeader& fileHeader)
    : UTZipArchiveItem(std::move(name), fileHeader, QByteArray())
{
}

UTZipArchiveItem::UTZipArchiveItem(QString name, const SZipFileHeader& fileHeader, QByteArray data)
    : m_name(std::move(name)), m_fileHeader(fileHeader), m_data(std::move(data))
{
    m_fileHeader.FilenameLength = nameLength(m_name);
}

QDateTime UTZipArchiveItem::modificationDate() const
{
    const uint16_t date = m_fileHeader.LastModFileDate;
    const uint16_t time = m_fileHeader.LastModFileTime;
    const QDate day(1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F);
    const QTime clock((time >> 11) & 0x1F, (time >> 5) & 0x3F, (time & 0x1F) * 2);
    if (!day.isValid() || !clock.isValid()) return QDateTime();
    return QDateTime(day, clock);
}

void UTZipArchiveItem::setModificationDate(const QDateTime& date)
{
    if (!date.isValid()) {
        m_fileHeader.LastModFileDate = 0;
        m_fileHeader.LastModFileTime = 0;
        return;
    }
    const QDateTime local = date.toLocalTime();
    QDate day = local.date();
    QTime clock = local.time();
    if (day.year() < 1980) {
        day = QDate(1980, 1, 1);
        clock = QTime(0, 0);
    } else if (day.year() > 2107) {
        day = QDate(2107, 12, 31);
        clock = QTime(23, 59, 58);
    }
    m_fileHeader.LastModFileDate = uint16_t((day.year() - 1980) << 9 | day.month() << 5 | day.day());
    m_fileHeader.LastModFileTime = uint16_t(clock.hour() << 11 | clock.minute() << 5 | clock.second() / 2);
}
