#include "Utilities/UTZipArchiveItem.h"

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
