#include "Utilities/UTZipArchive.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"
#include "Utilities/UTErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

#include <regex.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr char kLocalHeaderSignature[] = "PK\x03\x04";
constexpr char kDataDescriptorSignature[] = "PK\x07\x08";
constexpr char kCentralHeaderSignature[] = "PK\x01\x02";
constexpr char kEndOfCentralDirectorySignature[] = "PK\x05\x06";
constexpr qint64 kLocalHeaderSize = 30;
constexpr qint64 kDataDescriptorSize = 16;
constexpr qint64 kZip64DataDescriptorSize = 24;
constexpr qint64 kCentralHeaderSize = 46;
constexpr qint64 kEndOfCentralDirectorySize = 22;
constexpr char kZip64EndOfCentralDirectorySignature[] = "PK\x06\x06";
constexpr char kZip64EndOfCentralDirectoryLocatorSignature[] = "PK\x06\x07";
constexpr qint64 kZip64EndOfCentralDirectorySize = 56;
constexpr qint64 kZip64EndOfCentralDirectoryLocatorSize = 20;
constexpr uint16_t kZip64Version = 45;
constexpr uint16_t kZip64ExtraFieldTag = 0x0001;
// 0xFFFF and 0xFFFFFFFF mark Zip64 values in the classic fields, so they stay unused: more
// entries than fit are counted in the Zip64 end records.
constexpr qint64 kMaximumClassicEntryCount = 0xFFFE;
constexpr qint64 kMaximumOffset = 0xFFFFFFFE;
constexpr uint16_t kHostUnix = 3;
constexpr uint32_t kFileAttributes = 0100644u << 16;
constexpr uint32_t kDirectoryAttributes = 040755u << 16 | 0x10;
// Deflate cannot expand more than about 1032:1 (one 258-byte match in two bits).
constexpr quint64 kMaximumInflateRatio = 1032;
constexpr quint64 kInflateSlack = 1024;

// Entries that the archive adds: version 2.0, deflated, DOS time and date 0.
constexpr SZipFileHeader sFileHeaderTemplate = [] {
    SZipFileHeader header;
    header.VersionToExtract = 20;
    header.CompressionMethod = SZipFileHeader::MethodDeflated;
    return header;
}();

// One deflate and one inflate stream per thread, reset between entries: setting a deflate
// stream up allocates and clears about 400 KB, which costs more than deflating a small part.
// A stream that failed is ended and set up afresh next time.
template <int (*Reset)(z_streamp), int (*End)(z_streamp)>
class CachedStream {
public:
    CachedStream() = default;
    CachedStream(const CachedStream&) = delete;
    CachedStream& operator=(const CachedStream&) = delete;
    ~CachedStream() { discard(); }

    // The stream ready for a new entry, or null with zlib's result in *result.
    template <typename Init>
    z_stream* acquire(Init init, int* result)
    {
        if (m_ready) {
            *result = Reset(&m_stream);
            if (*result == Z_OK) return &m_stream;
            discard();
        }
        m_stream = z_stream{};
        *result = init(&m_stream);
        m_ready = *result == Z_OK;
        return m_ready ? &m_stream : nullptr;
    }

    void discard()
    {
        if (m_ready) End(&m_stream);
        m_ready = false;
    }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

int deflateEndFunction(z_streamp stream) { return deflateEnd(stream); }
int inflateEndFunction(z_streamp stream) { return inflateEnd(stream); }
int deflateResetFunction(z_streamp stream) { return deflateReset(stream); }
int inflateResetFunction(z_streamp stream) { return inflateReset(stream); }

thread_local CachedStream<deflateResetFunction, deflateEndFunction> tDeflateStream;
thread_local CachedStream<inflateResetFunction, inflateEndFunction> tInflateStream;

bool fail(PLError* error, const QString& reason)
{
    PLSetError(error, UTErrors::errorWithFailureReason(reason));
    return false;
}

QString zlibErrorText(int result)
{
    return QStringLiteral("zlib error %1").arg(result);
}

uint16_t readU16(const char* p)
{
    return qFromLittleEndian<uint16_t>(p);
}

uint32_t readU32(const char* p)
{
    return qFromLittleEndian<uint32_t>(p);
}

char* writeU16(char* p, uint16_t value)
{
    qToLittleEndian(value, p);
    return p + 2;
}

char* writeU32(char* p, uint32_t value)
{
    qToLittleEndian(value, p);
    return p + 4;
}

char* writeU64(char* p, uint64_t value)
{
    qToLittleEndian(value, p);
    return p + 8;
}

char* writeBytes(char* p, const char* bytes, qsizetype length)
{
    if (length > 0) std::memcpy(p, bytes, size_t(length));
    return p + length;
}

SZipFileHeader readFileHeader(const char* p)
{
    SZipFileHeader header;
    header.VersionToExtract = readU16(p);
    header.GeneralBitFlag = readU16(p + 2);
    header.CompressionMethod = readU16(p + 4);
    header.LastModFileTime = readU16(p + 6);
    header.LastModFileDate = readU16(p + 8);
    header.DataDescriptor.CRC32 = readU32(p + 10);
    header.DataDescriptor.CompressedSize = readU32(p + 14);
    header.DataDescriptor.UncompressedSize = readU32(p + 18);
    header.FilenameLength = readU16(p + 22);
    header.ExtraFieldLength = readU16(p + 24);
    return header;
}

char* writeFileHeader(char* p, const SZipFileHeader& header)
{
    p = writeU16(p, header.VersionToExtract);
    p = writeU16(p, header.GeneralBitFlag);
    p = writeU16(p, header.CompressionMethod);
    p = writeU16(p, header.LastModFileTime);
    p = writeU16(p, header.LastModFileDate);
    p = writeU32(p, header.DataDescriptor.CRC32);
    p = writeU32(p, header.DataDescriptor.CompressedSize);
    p = writeU32(p, header.DataDescriptor.UncompressedSize);
    p = writeU16(p, header.FilenameLength);
    return writeU16(p, header.ExtraFieldLength);
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
}

// Part of an owned buffer that shares it rather than copying: the buffer lives as long as any
// slice does, and writing to a slice detaches it. Not NUL-terminated.
QByteArray sharedSlice(const QByteArray& whole, qsizetype offset, qsizetype length)
{
    QByteArray slice = whole;
    QByteArray::DataPointer& pointer = slice.data_ptr();
    pointer.setBegin(pointer.data() + offset);
    pointer.size = length;
    return slice;
}

// Names are C strings; "\" separators written by some tools become "/". Names flagged as
// UTF-8 or valid as UTF-8 are read as UTF-8, others as Latin-1.
QString decodeName(const char* bytes, qsizetype length, uint16_t flags)
{
    const char* zero = static_cast<const char*>(std::memchr(bytes, 0, size_t(length)));
    QByteArray name(bytes, zero ? zero - bytes : length);
    name.replace('\\', '/');
    if (isAscii(name)) return QString::fromLatin1(name);
    if (flags & SZipFileHeader::FlagUTF8Name) return QString::fromUtf8(name);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(name);
    return decoder.hasError() ? QString::fromLatin1(name) : decoded;
}

uint64_t readU64(const char* p)
{
    return qFromLittleEndian<uint64_t>(p);
}

bool hasZip64Sizes(const SZipFileDataDescriptor& sizes)
{
    return sizes.CompressedSize == 0xFFFFFFFF || sizes.UncompressedSize == 0xFFFFFFFF;
}

// The sizes of a local header's Zip64 extra field: both, uncompressed first; a shorter field
// holds only those the header marks with 0xFFFFFFFF, in the same order.
struct Zip64Sizes {
    std::optional<uint64_t> uncompressed;
    std::optional<uint64_t> compressed;
};

std::optional<Zip64Sizes> zip64ExtraSizes(const char* extra, qsizetype length, const SZipFileDataDescriptor& sizes)
{
    qsizetype p = 0;
    while (length - p >= 4) {
        const uint16_t tag = readU16(extra + p);
        const qsizetype size = std::min<qsizetype>(readU16(extra + p + 2), length - p - 4);
        const char* field = extra + p + 4;
        if (tag == kZip64ExtraFieldTag) {
            Zip64Sizes found;
            if (size >= 16) {
                found.uncompressed = readU64(field);
                found.compressed = readU64(field + 8);
            } else {
                qsizetype at = 0;
                if (sizes.UncompressedSize == 0xFFFFFFFF && size - at >= 8) {
                    found.uncompressed = readU64(field + at);
                    at += 8;
                }
                if (sizes.CompressedSize == 0xFFFFFFFF && size - at >= 8) found.compressed = readU64(field + at);
            }
            return found;
        }
        p += 4 + size;
    }
    return std::nullopt;
}

// Takes a Zip64 size into a header field that is marked for it (a field that is not keeps its
// value); false when the size is missing or larger than any entry read here.
bool takeZip64Size(uint32_t& field, std::optional<uint64_t> size)
{
    if (field != 0xFFFFFFFF) return true;
    if (!size || *size > uint64_t(UTZipArchive::MaximumUncompressedSize)) return false;
    field = uint32_t(*size);
    return true;
}

uint32_t crcOf(const char* bytes, qsizetype length)
{
    uLong crc = crc32(0, Z_NULL, 0);
    // zlib takes at most 4 GiB a call; entries are far smaller, but the loop costs nothing.
    while (length > 0) {
        const uInt chunk = uInt(std::min<qsizetype>(length, qsizetype(1) << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes), chunk);
        bytes += chunk;
        length -= chunk;
    }
    return uint32_t(crc);
}

QString foldedKey(const QString& name)
{
    // Names are nearly always ASCII, where folding lowers A-Z and nothing else; Qt's full
    // folding is kept for the others.
    qsizetype firstUpper = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= 0x80) return name.toCaseFolded();
        if (firstUpper < 0 && c >= u'A' && c <= u'Z') firstUpper = i;
    }
    if (firstUpper < 0) return name;
    QString folded = name;
    QChar* chars = folded.data();
    for (qsizetype i = firstUpper; i < folded.size(); ++i) {
        if (chars[i] >= u'A' && chars[i] <= u'Z') chars[i] = QChar(chars[i].unicode() + (u'a' - u'A'));
    }
    return folded;
}

// The last path component as paths are read everywhere here: trailing "/" ignored.
QString lastPathComponent(const QString& path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/')) --end;
    if (end == 1 && path.at(0) == QLatin1Char('/')) return path.left(1);
    if (end == 0) return QString();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'), end - 1);
    return path.mid(slash + 1, end - slash - 1);
}

QString pathExtension(const QString& path)
{
    const QString last = lastPathComponent(path);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : last.mid(dot + 1);
}

// A name that stays inside a folder it is written into.
bool isContainedName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QChar(0))) return false;
    const QStringList components = name.split(QLatin1Char('/'));
    return !components.contains(QStringLiteral(".."));
}

// Creates the folders of a relative path below root one by one, refusing to pass through a
// symbolic link or a file.
bool makeFolders(const QString& root, const QString& relative)
{
    QString path = root;
    for (const QString& component : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + component;
        const QFileInfo info(path);
        if (info.isSymLink()) return false;
        if (info.exists()) {
            if (!info.isDir()) return false;
            continue;
        }
        if (!QDir().mkdir(path)) return false;
    }
    return true;
}

} // namespace

UTZipArchive::UTZipArchive() = default;

std::optional<UTZipArchive> UTZipArchive::fromFilePath(const QString& path, PLError* error)
{
    UTZipArchive archive;
    archive.m_path = path;
    archive.m_compressionLevel = -1;
    // Read plainly rather than mapped: a file truncated by another process while mapped would
    // fault the whole application.
    QFile file(path);
    try {
        if (file.open(QIODevice::ReadOnly)) archive.m_zipData = file.readAll();
    } catch (const std::bad_alloc&) {
        archive.m_zipData.clear(); // a file too large for memory cannot be loaded either
    }
    if (archive.m_zipData.isEmpty()) {
        PLLog::write(QStringLiteral("ZipFile '%1'. Cannot load file.").arg(path));
        return std::nullopt;
    }
    if (!archive.loadItems(error)) return std::nullopt;
    return archive;
}

std::optional<UTZipArchive> UTZipArchive::fromData(const QByteArray& data, PLError* error)
{
    if (data.isEmpty()) {
        PLLog::write(QStringLiteral("ZipFile: Cannot load data."));
        return std::nullopt;
    }
    UTZipArchive archive;
    // Items share the buffer, so bytes the caller does not own are copied once.
    QByteArray owned = data;
    archive.m_zipData = owned.data_ptr().d_ptr() ? owned : QByteArray(data.constData(), data.size());
    if (!archive.loadItems(error)) return std::nullopt;
    return archive;
}

bool UTZipArchive::loadItems(PLError* error)
{
    const char* bytes = m_zipData.constData();
    const qint64 n = m_zipData.size();
    const auto findP = [&](qint64 from) -> qint64 {
        const void* hit = std::memchr(bytes + from, 'P', size_t(n - from));
        return hit ? static_cast<const char*>(hit) - bytes : -1;
    };

    qint64 p = 0;
    while (n - p >= 27) {
        const qint64 offset = findP(p);
        if (offset < 0 || offset > n - kLocalHeaderSize) break;
        // The entries end where the central directory begins; its records would otherwise be
        // taken for local headers whenever their fields happen to spell one.
        if (std::memcmp(bytes + offset, kCentralHeaderSignature, 4) == 0
            || std::memcmp(bytes + offset, kEndOfCentralDirectorySignature, 4) == 0)
            break;
        if (std::memcmp(bytes + offset, kLocalHeaderSignature, 4) != 0) {
            p = offset + 1;
            continue;
        }
        SZipFileHeader header = readFileHeader(bytes + offset + 4);
        const qint64 nameStart = offset + kLocalHeaderSize;
        if (n - nameStart < header.FilenameLength) break;
        const QString name = decodeName(bytes + nameStart, header.FilenameLength, header.GeneralBitFlag);
        const qint64 extraStart = nameStart + header.FilenameLength;
        const qint64 dataStart = extraStart + header.ExtraFieldLength;
        if (dataStart > n) break;

        // Zip64 sizes live in the extra field (and, behind the data, in a longer descriptor).
        const bool streamed = header.GeneralBitFlag & SZipFileHeader::FlagDataDescriptor;
        const std::optional<Zip64Sizes> zip64 = zip64ExtraSizes(bytes + extraStart, header.ExtraFieldLength, header.DataDescriptor);
        const auto refuseSizes = [&] {
            return fail(error, QStringLiteral("Zip entry '%1' has Zip64 sizes that cannot be read.").arg(name));
        };
        if (hasZip64Sizes(header.DataDescriptor)) {
            if (!zip64 || !takeZip64Size(header.DataDescriptor.UncompressedSize, zip64->uncompressed)
                || !takeZip64Size(header.DataDescriptor.CompressedSize, zip64->compressed))
                return refuseSizes();
        }

        QByteArray data;
        if (!streamed) {
            if (n - dataStart < header.DataDescriptor.CompressedSize) break;
            data = sharedSlice(m_zipData, dataStart, header.DataDescriptor.CompressedSize);
            p = dataStart + header.DataDescriptor.CompressedSize;
        } else {
            // The true descriptor is the first signed one whose size matches its distance;
            // an entry with a Zip64 field has one with 8-byte sizes.
            bool found = false;
            qint64 q = dataStart;
            while (q < n) {
                const qint64 at = findP(q);
                if (at < 0 || at > n - kDataDescriptorSize) break;
                q = at + 1;
                if (std::memcmp(bytes + at, kDataDescriptorSignature, 4) != 0) continue;
                const uint64_t distance = uint64_t(at - dataStart);
                if (zip64 && at <= n - kZip64DataDescriptorSize && readU64(bytes + at + 8) == distance) {
                    const uint64_t uncompressed = readU64(bytes + at + 16);
                    if (distance > uint64_t(MaximumUncompressedSize) || uncompressed > uint64_t(MaximumUncompressedSize))
                        return refuseSizes();
                    header.DataDescriptor.CRC32 = readU32(bytes + at + 4);
                    header.DataDescriptor.CompressedSize = uint32_t(distance);
                    header.DataDescriptor.UncompressedSize = uint32_t(uncompressed);
                    p = at + kZip64DataDescriptorSize;
                } else if (readU32(bytes + at + 8) == distance) {
                    header.DataDescriptor.CRC32 = readU32(bytes + at + 4);
                    header.DataDescriptor.CompressedSize = readU32(bytes + at + 8);
                    header.DataDescriptor.UncompressedSize = readU32(bytes + at + 12);
                    if (hasZip64Sizes(header.DataDescriptor)) return refuseSizes();
                    p = at + kDataDescriptorSize;
                } else {
                    continue;
                }
                data = sharedSlice(m_zipData, dataStart, at - dataStart);
                found = true;
                break;
            }
            if (!found) {
                // Without a signed descriptor the local header's sizes tell where the data
                // ends; when it has none, the end cannot be told from the bytes alone.
                if (header.DataDescriptor.CompressedSize == 0)
                    return fail(error, QStringLiteral("Zip entry '%1' has no data descriptor signature, which is not supported.").arg(name));
                if (n - dataStart < header.DataDescriptor.CompressedSize) break;
                data = sharedSlice(m_zipData, dataStart, header.DataDescriptor.CompressedSize);
                p = dataStart + header.DataDescriptor.CompressedSize;
                // An unsigned descriptor that repeats the sizes gives the checksum.
                if (n - p >= 12 && readU32(bytes + p + 4) == header.DataDescriptor.CompressedSize
                    && readU32(bytes + p + 8) == header.DataDescriptor.UncompressedSize) {
                    header.DataDescriptor.CRC32 = readU32(bytes + p);
                    p += 12;
                }
            }
        }
        appendItem(UTZipArchiveItem(name, header, std::move(data)));
    }
    if (m_items.empty())
        PLLog::write(QStringLiteral("Zip file '%1'. No objects found.").arg(m_path.isEmpty() ? QStringLiteral("(null)") : m_path));
    return true;
}

void UTZipArchive::appendItem(UTZipArchiveItem item)
{
    const qsizetype index = qsizetype(m_items.size());
    const QString pathKey = foldedKey(item.name());
    if (!m_pathIndex.contains(pathKey)) m_pathIndex.insert(pathKey, index);
    // A file name never names a folder: bytes stored under the name of a folder entry would
    // be read back as the folder's listing, so folders stay out of the look-up by name.
    const QString last = lastPathComponent(item.name());
    const QString nameKey = last.size() == item.name().size() ? pathKey : foldedKey(last);
    if (!item.isDirectory() && !m_nameIndex.contains(nameKey)) m_nameIndex.insert(nameKey, index);
    m_items.push_back(std::move(item));
}

std::optional<QByteArray> UTZipArchive::dataByPath(const QString& path, PLError* error) const
{
    const auto found = m_pathIndex.constFind(foldedKey(path));
    if (found == m_pathIndex.cend()) return std::nullopt;
    return decompress(m_items[size_t(*found)], error);
}

std::optional<QByteArray> UTZipArchive::dataByName(const QString& name, PLError* error) const
{
    const auto found = m_nameIndex.constFind(foldedKey(name));
    if (found == m_nameIndex.cend()) return std::nullopt;
    return decompress(m_items[size_t(*found)], error);
}

std::optional<QByteArray> UTZipArchive::dataByName(const QString& name, PLError* error, const InflateProgress& progress) const
{
    const auto found = m_nameIndex.constFind(foldedKey(name));
    if (found == m_nameIndex.cend()) return std::nullopt;
    return decompress(m_items[size_t(*found)], error, progress);
}

std::optional<QString> UTZipArchive::firstFileMatch(const QString& pattern, PLError* error) const
{
    regex_t regex;
    const int compiled = regcomp(&regex, pattern.toUtf8().constData(), REG_EXTENDED | REG_NOSUB);
    if (compiled != 0) {
        fail(error, QStringLiteral("regex error %1").arg(compiled));
        return std::nullopt;
    }
    std::optional<QString> match;
    for (const UTZipArchiveItem& item : m_items) {
        const int result = regexec(&regex, item.encodedName().constData(), 0, nullptr, 0);
        if (result == 0) {
            match = item.name();
            break;
        }
        if (result != REG_NOMATCH) {
            fail(error, QStringLiteral("regex error %1").arg(result));
            break;
        }
    }
    regfree(&regex);
    return match;
}

QStringList UTZipArchive::filePathsByFileExtension(const QString& extension) const
{
    QStringList paths;
    for (const UTZipArchiveItem& item : m_items) {
        if (pathExtension(item.name()).compare(extension, Qt::CaseInsensitive) == 0) paths << item.name();
    }
    return paths;
}

// Damaged bytes are an error of their entry, never handed on as if they were the part.
bool UTZipArchive::hasExpectedCrc(const UTZipArchiveItem& item, const QByteArray& bytes, PLError* error)
{
    if (crcOf(bytes.constData(), bytes.size()) == item.fileHeader()->DataDescriptor.CRC32) return true;
    return fail(error, QStringLiteral("Zip entry '%1' is damaged: its checksum does not match.").arg(item.name()));
}

std::optional<QByteArray> UTZipArchive::decompress(const UTZipArchiveItem& item, PLError* error,
                                                   const InflateProgress& progress) const
{
    if (item.isDirectory()) return directoryData(item, error);
    const SZipFileHeader& header = *item.fileHeader();
    if (header.GeneralBitFlag & SZipFileHeader::FlagEncrypted) {
        fail(error, QStringLiteral("Zip entry '%1' is encrypted, which is not supported.").arg(item.name()));
        return std::nullopt;
    }
    const QByteArray& stored = item.data();
    if (header.CompressionMethod == SZipFileHeader::MethodStored) {
        if (!hasExpectedCrc(item, stored, error)) return std::nullopt;
        // A copy, so that callers get terminated bytes that do not pin the whole archive.
        return QByteArray(stored.constData(), stored.size());
    }
    if (header.CompressionMethod != SZipFileHeader::MethodDeflated) {
        fail(error, QStringLiteral("Unknown compression method %1").arg(header.CompressionMethod));
        return std::nullopt;
    }

    const quint64 size = header.DataDescriptor.UncompressedSize;
    if (size > quint64(MaximumUncompressedSize) || size > quint64(stored.size()) * kMaximumInflateRatio + kInflateSlack) {
        fail(error, QStringLiteral("Zip entry '%1' declares an implausible size of %2 bytes.").arg(item.name()).arg(size));
        return std::nullopt;
    }
    int result = Z_OK;
    z_stream* stream = tInflateStream.acquire([](z_streamp fresh) { return inflateInit2(fresh, -MAX_WBITS); }, &result);
    if (!stream) {
        fail(error, zlibErrorText(result));
        return std::nullopt;
    }
    QByteArray output(qsizetype(size), Qt::Uninitialized);
    Bytef empty = 0;
    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.constData()));
    stream->avail_in = uInt(stored.size());
    stream->next_out = size > 0 ? reinterpret_cast<Bytef*>(output.data()) : &empty;
    if (!progress) {
        stream->avail_out = uInt(size);
        result = inflate(stream, Z_FINISH);
    } else {
        // Window by window, each told once written; the last window finishes the stream, so
        // that every outcome (and its error) is that of the single step above.
        constexpr quint64 Window = 256 * 1024;
        for (quint64 remaining = size;;) {
            const bool last = remaining <= Window;
            const uInt window = uInt(last ? remaining : Window);
            stream->avail_out = window;
            result = inflate(stream, last ? Z_FINISH : Z_NO_FLUSH);
            remaining -= window - stream->avail_out;
            if (result != Z_OK) break;
            if (!progress(output, qsizetype(stream->total_out))) {
                tInflateStream.discard();
                fail(error, QStringLiteral("Inflating zip entry '%1' was stopped.").arg(item.name()));
                return std::nullopt;
            }
        }
    }
    const uLong produced = stream->total_out;
    if (result != Z_STREAM_END) {
        tInflateStream.discard();
        fail(error, zlibErrorText(result));
        return std::nullopt;
    }
    // A stream that ends short of its declared size is as damaged as one that runs past it.
    if (produced != size) {
        fail(error, zlibErrorText(Z_DATA_ERROR));
        return std::nullopt;
    }
    if (!hasExpectedCrc(item, output, error)) return std::nullopt;
    return output;
}

// Any serialization of a folder's files will do for callers; a zip archive of the entries
// below it (names relative to the folder) is flat, cheap to build from the stored bytes and
// needs no recursion however deep the folders go.
std::optional<QByteArray> UTZipArchive::directoryData(const UTZipArchiveItem& directory, PLError* error) const
{
    const QString& prefix = directory.name();
    UTZipArchive folder;
    for (const UTZipArchiveItem& item : m_items) {
        if (item.name().size() <= prefix.size() || !item.name().startsWith(prefix)) continue;
        folder.appendItem(UTZipArchiveItem(item.name().mid(prefix.size()), *item.fileHeader(), item.data()));
    }
    QByteArray data = folder.getZipData(error);
    if (data.isEmpty()) return std::nullopt;
    return data;
}

bool UTZipArchive::setDataForFilePath(const QByteArray& data, const QString& path, PLError* error)
{
    const auto found = m_pathIndex.constFind(foldedKey(path));
    if (found != m_pathIndex.cend()) return deflateData(data, m_items[size_t(*found)], error);
    return addItemForFilePath(path, data, error);
}

bool UTZipArchive::setDataForFileName(const QByteArray& data, const QString& name, PLError* error)
{
    const auto found = m_nameIndex.constFind(foldedKey(name));
    if (found != m_nameIndex.cend()) return deflateData(data, m_items[size_t(*found)], error);
    return addItemForFilePath(name, data, error);
}

bool UTZipArchive::addItemForFilePath(const QString& path, const QByteArray& data, PLError* error)
{
    UTZipArchiveItem item(path, sFileHeaderTemplate);
    if (!deflateData(data, item, error)) return false;

    // Each parent folder, from the outside in, gets an entry of its own unless it has one.
    qsizetype end = path.size();
    while (end > 0 && path.at(end - 1) == QLatin1Char('/')) --end;
    for (qsizetype slash = path.indexOf(QLatin1Char('/')); slash >= 0 && slash < end;
         slash = path.indexOf(QLatin1Char('/'), slash + 1)) {
        if (slash == 0 || path.at(slash - 1) == QLatin1Char('/')) continue;
        const QString folder = path.left(slash + 1);
        if (!m_pathIndex.contains(foldedKey(folder))) appendItem(UTZipArchiveItem(folder));
    }
    appendItem(std::move(item));
    return true;
}

bool UTZipArchive::deflateData(const QByteArray& data, UTZipArchiveItem& item, PLError* error) const
{
    if (quint64(data.size()) > quint64(kMaximumOffset))
        return fail(error, QStringLiteral("Zip entry '%1' is too large for the zip format.").arg(item.name()));

    int result = Z_OK;
    z_stream* stream = tDeflateStream.acquire(
        [](z_streamp fresh) { return deflateInit2(fresh, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY); }, &result);
    if (!stream) return fail(error, zlibErrorText(result));
    const uLong bound = std::min<uLong>(deflateBound(stream, uLong(data.size())), std::numeric_limits<uInt>::max());
    QByteArray output(qsizetype(bound), Qt::Uninitialized);
    stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream->avail_in = uInt(data.size());
    stream->next_out = reinterpret_cast<Bytef*>(output.data());
    stream->avail_out = uInt(bound);
    result = deflate(stream, Z_FINISH);
    const uLong produced = stream->total_out;
    if (result != Z_STREAM_END) {
        tDeflateStream.discard();
        return fail(error, zlibErrorText(result));
    }
    output.resize(qsizetype(produced));
    output.squeeze();

    SZipFileHeader& header = *item.fileHeader();
    header.DataDescriptor.CompressedSize = uint32_t(produced);
    header.DataDescriptor.UncompressedSize = uint32_t(data.size());
    header.DataDescriptor.CRC32 = crcOf(data.constData(), data.size());
    header.CompressionMethod = SZipFileHeader::MethodDeflated;
    item.setData(std::move(output));
    if (m_entryDate.isValid()) item.setModificationDate(m_entryDate);
    return true;
}

QByteArray UTZipArchive::getZipData(PLError* error)
{
    // Everything is sized and checked before anything is changed or written.
    std::vector<QByteArray> names;
    names.reserve(m_items.size());
    qint64 localSize = 0;
    qint64 centralSize = 0;
    for (const UTZipArchiveItem& item : m_items) {
        PL_ASSERT(quint64(item.data().size()) == item.fileHeader()->DataDescriptor.CompressedSize);
        QByteArray name = item.encodedName();
        if (name.size() > std::numeric_limits<uint16_t>::max()) {
            fail(error, QStringLiteral("The name of zip entry '%1' is too long for the zip format.").arg(item.name()));
            return QByteArray();
        }
        localSize += kLocalHeaderSize + name.size() + item.data().size();
        centralSize += kCentralHeaderSize + name.size();
        names.push_back(std::move(name));
    }
    if (localSize > kMaximumOffset || centralSize > kMaximumOffset) {
        fail(error, QStringLiteral("The zip archive is too large for the zip format."));
        return QByteArray();
    }

    const bool zip64 = qint64(m_items.size()) > kMaximumClassicEntryCount;
    const qint64 zip64Size = zip64 ? kZip64EndOfCentralDirectorySize + kZip64EndOfCentralDirectoryLocatorSize : 0;
    QByteArray output(localSize + centralSize + zip64Size + kEndOfCentralDirectorySize, Qt::Uninitialized);
    char* p = output.data();
    for (size_t i = 0; i < m_items.size(); ++i) {
        UTZipArchiveItem& item = m_items[i];
        SZipFileHeader& header = *item.fileHeader();
        if (m_entryDate.isValid() && header.LastModFileDate == 0) item.setModificationDate(m_entryDate);
        header.ExtraFieldLength = 0;
        header.FilenameLength = uint16_t(names[i].size());
        // Sizes are always in the header and no descriptor follows the data.
        header.GeneralBitFlag &= ~SZipFileHeader::FlagDataDescriptor;
        if (isAscii(names[i]))
            header.GeneralBitFlag &= ~SZipFileHeader::FlagUTF8Name;
        else
            header.GeneralBitFlag |= SZipFileHeader::FlagUTF8Name;
        item.setHeaderOffset(uint32_t(p - output.constData()));
        p = writeBytes(p, kLocalHeaderSignature, 4);
        p = writeFileHeader(p, header);
        p = writeBytes(p, names[i].constData(), names[i].size());
        p = writeBytes(p, item.data().constData(), item.data().size());
    }
    const uint32_t centralOffset = uint32_t(p - output.constData());
    for (size_t i = 0; i < m_items.size(); ++i) {
        const UTZipArchiveItem& item = m_items[i];
        const SZipFileHeader& header = *item.fileHeader();
        p = writeBytes(p, kCentralHeaderSignature, 4);
        // Made on a Unix host with ordinary permissions: readers take the names of archives
        // made on MS-DOS hosts for code page 437 even when they are flagged as UTF-8.
        p = writeU16(p, uint16_t(kHostUnix << 8 | (header.VersionToExtract & 0xFF)));
        p = writeFileHeader(p, header);
        p = writeU16(p, 0); // file comment length
        p = writeU16(p, 0); // disk number start
        p = writeU16(p, 0); // internal attributes
        p = writeU32(p, item.isDirectory() ? kDirectoryAttributes : kFileAttributes);
        p = writeU32(p, item.headerOffset());
        p = writeBytes(p, names[i].constData(), names[i].size());
    }
    if (zip64) {
        const uint32_t zip64Offset = uint32_t(p - output.constData());
        p = writeBytes(p, kZip64EndOfCentralDirectorySignature, 4);
        p = writeU64(p, uint64_t(kZip64EndOfCentralDirectorySize - 12));  // the size of what follows
        p = writeU16(p, uint16_t(kHostUnix << 8 | kZip64Version));
        p = writeU16(p, kZip64Version);
        p = writeU32(p, 0);  // this disk
        p = writeU32(p, 0);  // the disk of the central directory
        p = writeU64(p, m_items.size());
        p = writeU64(p, m_items.size());
        p = writeU64(p, uint64_t(centralSize));
        p = writeU64(p, centralOffset);
        p = writeBytes(p, kZip64EndOfCentralDirectoryLocatorSignature, 4);
        p = writeU32(p, 0);
        p = writeU64(p, zip64Offset);
        p = writeU32(p, 1);  // disks in all
    }
    // With Zip64 end records the classic counts say "see there".
    const uint16_t classicCount = zip64 ? uint16_t(0xFFFF) : uint16_t(m_items.size());
    p = writeBytes(p, kEndOfCentralDirectorySignature, 4);
    p = writeU16(p, 0);
    p = writeU16(p, 0);
    p = writeU16(p, classicCount);
    p = writeU16(p, classicCount);
    p = writeU32(p, uint32_t(centralSize));
    p = writeU32(p, centralOffset);
    p = writeU16(p, 0);
    PL_ASSERT(p == output.constData() + output.size());
    return output;
}

bool UTZipArchive::copyFilesToFolder(const QString& folder, PLError* error) const
{
    bool allWritten = true;
    const auto failed = [&](const QString& reason) {
        if (allWritten) PLSetError(error, UTErrors::errorWithFailureReason(reason));
        allWritten = false;
    };
    if (!QDir().mkpath(folder)) {
        failed(QStringLiteral("Cannot create the folder '%1'.").arg(folder));
        return false;
    }
    for (const UTZipArchiveItem& item : m_items) {
        const QString& name = item.name();
        if (!isContainedName(name)) {
            failed(QStringLiteral("Zip entry '%1' would be written outside the folder.").arg(name));
            continue;
        }
        if (item.isDirectory()) {
            if (!makeFolders(folder, name)) failed(QStringLiteral("Cannot create the folder '%1'.").arg(name));
            continue;
        }
        const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
        if (slash > 0 && !makeFolders(folder, name.left(slash))) {
            failed(QStringLiteral("Cannot create the folder '%1'.").arg(name.left(slash)));
            continue;
        }
        PLError decompressError;
        const std::optional<QByteArray> data = decompress(item, &decompressError);
        if (!data) {
            if (allWritten) PLSetError(error, decompressError);
            allWritten = false;
            continue;
        }
        const QString target = folder + QLatin1Char('/') + name;
        const QFileInfo info(target);
        QFile file(target);
        if (info.isSymLink() || info.isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(*data) != data->size()) {
            failed(QStringLiteral("Cannot write '%1'.").arg(target));
        }
    }
    return allWritten;
}

void UTZipArchive::setCompressionLevel(int level)
{
    m_compressionLevel = std::clamp(level, -1, 9);
}
