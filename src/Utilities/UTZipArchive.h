#pragma once

#include "Platform/Core/PLError.h"
#include "Utilities/UTZipArchiveItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A zip archive held in memory as an ordered list of entries: read from a file or from bytes
// by scanning for local file headers (up to the central directory, which is not read),
// changed entry by entry and written back as bytes. Entries keep their compressed bytes and
// are inflated only when asked for.
//
// Look-ups compare names case-insensitively and take the first matching entry; two hash
// indexes (whole path, last path component) keep them O(1) and are kept in step with the
// list, which only ever grows or has entries replaced in place.
//
// Failures that the bytes can cause come back as an empty result and a PLError (domain
// "Ideaflux", code 1) in the optional out-parameter.
class UTZipArchive {
public:
    // Entries that would inflate beyond this are refused before anything is allocated (by
    // their stated size, which also bounds the inflating): far beyond any part of a real
    // map, and small enough that reading one as XML still fits in memory.
    static constexpr qint64 MaximumUncompressedSize = qint64(256) << 20;

    // An empty archive that parts can be added to.
    UTZipArchive();

    // The archive in the file, or nothing when the file cannot be read or is empty (logged).
    // Archives this class would misread (a data descriptor without signature and no sizes in
    // the local header, Zip64 sizes without their extra field or beyond the size limit) are
    // refused with an error.
    static std::optional<UTZipArchive> fromFilePath(const QString& path, PLError* error = nullptr);
    // The archive in the bytes, or nothing when they are empty (logged) or refused as above.
    static std::optional<UTZipArchive> fromData(const QByteArray& data, PLError* error = nullptr);

    // The file path it was opened from; empty for an archive made from bytes or empty.
    const QString& path() const { return m_path; }
    const std::vector<UTZipArchiveItem>& items() const { return m_items; }

    // Look-ups check the entry's CRC-32: damaged bytes give an error, never wrong bytes.
    // The uncompressed bytes of the first entry whose whole name equals the path.
    std::optional<QByteArray> dataByPath(const QString& path, PLError* error = nullptr) const;
    // The uncompressed bytes of the first entry whose last path component equals the name;
    // folder entries are not found by name.
    std::optional<QByteArray> dataByName(const QString& name, PLError* error = nullptr) const;
    // Called while an entry is inflated in steps: the first `ready` bytes of `bytes` (already
    // as long as the whole entry, and never moved) are final; the rest is being written.
    // Returning false stops inflating: the look-up then fails with an error.
    using InflateProgress = std::function<bool(const QByteArray& bytes, qsizetype ready)>;
    // dataByName, telling the bytes as they are inflated, so that a reader on another thread
    // can start on them; the checks (checksum included) and the result are dataByName's.
    std::optional<QByteArray> dataByName(const QString& name, PLError* error, const InflateProgress& progress) const;
    // The name of the first entry matching the POSIX extended regular expression.
    std::optional<QString> firstFileMatch(const QString& pattern, PLError* error = nullptr) const;
    // The names whose path extension equals the extension (case-insensitive), in archive order.
    QStringList filePathsByFileExtension(const QString& extension) const;

    // Replace the bytes of the entry found as by dataByPath, else add an entry (and entries
    // for its missing parent folders). False with an error when the bytes cannot be stored.
    bool setDataForFilePath(const QByteArray& data, const QString& path, PLError* error = nullptr);
    // Replace the bytes of the entry found as by dataByName, else add an entry under the name.
    bool setDataForFileName(const QByteArray& data, const QString& name, PLError* error = nullptr);

    // The whole archive as bytes with a central directory (and Zip64 end records when there
    // are more entries than the classic count holds); empty with an error when sizes or
    // offsets pass 4 GiB.
    // Records each entry's header offset and brings its header in line with what is written.
    QByteArray getZipData(PLError* error = nullptr);

    // Writes the entries below the folder, creating the folders they need. Entries whose name
    // is absolute or has a ".." component, or whose path inside the folder would pass through
    // a symbolic link, are skipped. True when every entry was written.
    bool copyFilesToFolder(const QString& folder, PLError* error = nullptr) const;

    // While valid: the time that entries added or replaced from now on carry, and that entries
    // without a time get when the archive is written (local time in DOS form). Invalid (the
    // default): added entries carry DOS time and date 0, entries read keep theirs.
    const QDateTime& entryDate() const { return m_entryDate; }
    void setEntryDate(const QDateTime& date) { m_entryDate = date; }

    int compressionLevel() const { return m_compressionLevel; }
    // Clamped to -1..9. Entries are always deflated at zlib's default level.
    void setCompressionLevel(int level);

private:
    bool loadItems(PLError* error);
    std::optional<QByteArray> decompress(const UTZipArchiveItem& item, PLError* error,
                                         const InflateProgress& progress = {}) const;
    std::optional<QByteArray> directoryData(const UTZipArchiveItem& directory, PLError* error) const;
    void appendItem(UTZipArchiveItem item);
    bool addItemForFilePath(const QString& path, const QByteArray& data, PLError* error);
    static bool hasExpectedCrc(const UTZipArchiveItem& item, const QByteArray& bytes, PLError* error);
    bool deflateData(const QByteArray& data, UTZipArchiveItem& item, PLError* error) const;

    QString m_path;
    QByteArray m_zipData;
    std::vector<UTZipArchiveItem> m_items;
    // Case-folded name (or last path component) -> index of the first entry that has it.
    QHash<QString, qsizetype> m_pathIndex;
    QHash<QString, qsizetype> m_nameIndex;
    int m_compressionLevel = 0;
    QDateTime m_entryDate;
};
