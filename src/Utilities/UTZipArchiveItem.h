#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>

// The sizes and checksum of an entry: inside the local header, or after the data in a data
// descriptor when general-purpose flag bit 3 is set.
struct SZipFileDataDescriptor {
    uint32_t CRC32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
};

// The 26-byte record of a local file header that follows its 4-byte signature, in file
// order. Held in host order; the archive converts from and to little-endian bytes.
struct SZipFileHeader {
    uint16_t VersionToExtract = 0;
    uint16_t GeneralBitFlag = 0;
    uint16_t CompressionMethod = 0;
    uint16_t LastModFileTime = 0;
    uint16_t LastModFileDate = 0;
    SZipFileDataDescriptor DataDescriptor;
    uint16_t FilenameLength = 0;
    uint16_t ExtraFieldLength = 0;

    static constexpr int RecordSize = 26;
    // Bit 3: sizes and CRC follow the data in a data descriptor.
    static constexpr uint16_t FlagDataDescriptor = 0x0008;
    // Bit 11: the name is UTF-8.
    static constexpr uint16_t FlagUTF8Name = 0x0800;
    // Bit 0: the entry is encrypted.
    static constexpr uint16_t FlagEncrypted = 0x0001;
    static constexpr uint16_t MethodStored = 0;
    static constexpr uint16_t MethodDeflated = 8;
};

// One entry of a UTZipArchive: its path inside the archive ("/" separated; a trailing "/"
// marks a folder), its header record and its bytes as stored (compressed for method 8).
// Items are values; the bytes are implicitly shared, so an item read from an archive keeps
// the archive's buffer alive rather than copying its slice.
class UTZipArchiveItem {
public:
    // Version 10, everything else zero.
    explicit UTZipArchiveItem(QString name);
    // The record is copied; FilenameLength always follows the name.
    UTZipArchiveItem(QString name, const SZipFileHeader& fileHeader);
    UTZipArchiveItem(QString name, const SZipFileHeader& fileHeader, QByteArray data);

    const QString& name() const { return m_name; }
    bool isDirectory() const { return m_name.endsWith(QLatin1Char('/')); }

    // The archive updates the record in place.
    SZipFileHeader* fileHeader() { return &m_fileHeader; }
    const SZipFileHeader* fileHeader() const { return &m_fileHeader; }

    // Offset of the local header in the archive last written.
    uint32_t headerOffset() const { return m_headerOffset; }
    void setHeaderOffset(uint32_t offset) { m_headerOffset = offset; }

    // The stored bytes. For an entry read from an archive they share the archive's buffer
    // and are not NUL-terminated.
    const QByteArray& data() const { return m_data; }
    void setData(QByteArray data) { m_data = std::move(data); }

    // The name as written into an archive (UTF-8).
    QByteArray encodedName() const { return m_name.toUtf8(); }

    // The DOS time stamp of the header as a local time (two-second steps); invalid when the
    // header carries none (date 0) or a date no calendar has.
    QDateTime modificationDate() const;
    // Stores a local time in DOS form: seconds halved, years clamped to 1980-2107; an invalid
    // date stores 0.
    void setModificationDate(const QDateTime& date);

private:
    QString m_name;
    SZipFileHeader m_fileHeader;
    uint32_t m_headerOffset = 0;
    QByteArray m_data;
};
