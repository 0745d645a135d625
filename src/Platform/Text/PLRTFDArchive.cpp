#include "Platform/Text/PLRTFDArchive.h"

#include "Platform/Text/PLRTFReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

const QString PLRTFDArchive::TextFileName = QStringLiteral("TXT.rtf");

namespace {

constexpr char Signature[4] = {'r', 't', 'f', 'd'};

PLError archiveError(int code, const QString& reason)
{
    return PLError(QStringLiteral("Ideaflux"), code, {{PLError::FailureReasonKey, reason}});
}

void appendUInt32(QByteArray& out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8) out.append(char((value >> shift) & 0xFF));
}

// A name that can be a file of a folder: one path component, no "." or "..".
bool isSafeFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

struct ParsedBlob {
    QList<PLRTFDArchive::File> files;
    bool truncated = false;
};

// Reads the blob with the given byte order; nullopt when its tables do not fit.
std::optional<ParsedBlob> parseBlob(const QByteArray& data, bool bigEndian)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const quint64 size = quint64(data.size());
    quint64 pos = 8; // signature and version
    const auto readUInt32 = [&](quint32* value) {
        if (pos + 4 > size) return false;
        const unsigned char* b = bytes + pos;
        *value = bigEndian ? quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3])
                           : quint32(b[3]) << 24 | quint32(b[2]) << 16 | quint32(b[1]) << 8 | quint32(b[0]);
        pos += 4;
        return true;
    };
    quint32 count = 0;
    if (!readUInt32(&count) || count == 0) return std::nullopt;
    // Every entry needs at least its two lengths: a count beyond that is not believed.
    if (quint64(count) * 8 > size - pos) return std::nullopt;
    std::vector<quint32> nameLengths(count);
    quint64 namesTotal = 0;
    for (quint32& length : nameLengths) {
        if (!readUInt32(&length)) return std::nullopt;
        namesTotal += length;
    }
    if (namesTotal > size - pos) return std::nullopt;
    QStringList names;
    for (quint32 length : nameLengths) {
        QByteArray name(reinterpret_cast<const char*>(bytes + pos), qsizetype(length));
        pos += length;
        while (name.endsWith('\0')) name.chop(1);
        names << QString::fromUtf8(name);
    }
    std::vector<quint32> contentLengths(count);
    for (quint32& length : contentLengths)
        if (!readUInt32(&length)) return std::nullopt;
    ParsedBlob result;
    for (quint32 i = 0; i < count; ++i) {
        const quint64 length = contentLengths[i];
        if (length > size - pos) {
            result.truncated = true;
            break;
        }
        const QString& name = names[qsizetype(i)];
        const bool duplicate = std::any_of(result.files.cbegin(), result.files.cend(),
                                           [&](const PLRTFDArchive::File& f) { return f.name == name; });
        if (isSafeFileName(name) && !duplicate)
            result.files.append({name, QByteArray(reinterpret_cast<const char*>(bytes + pos), qsizetype(length))});
        pos += length;
    }
    return result;
}

} // namespace

PLRTFDArchive PLRTFDArchive::fromAttributedString(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes)
{
    PLRTFDArchive archive;
    QList<File> files;
    const QByteArray rtf = PLRTFWriter::writeWithReferences(text, documentAttributes, &files);
    archive.m_files.append({TextFileName, rtf});
    archive.m_files.append(files);
    return archive;
}

std::optional<PLAttributedString> PLRTFDArchive::attributedString(PLDocumentAttributes* documentAttributes, PLError* error) const
{
    std::optional<QByteArray> rtf = file(TextFileName);
    if (!rtf) {
        for (const File& f : m_files) {
            if (f.name.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive)) {
                rtf = f.contents;
                break;
            }
        }
    }
    if (!rtf) {
        PLSetError(error, archiveError(NoTextError, QStringLiteral("The RTFD data holds no text file")));
        return std::nullopt;
    }
    return PLRTFReader::read(*rtf, documentAttributes, error, [this](const QString& name) { return file(name); });
}

void PLRTFDArchive::setFile(const QString& name, const QByteArray& contents)
{
    for (File& f : m_files) {
        if (f.name == name) {
            f.contents = contents;
            return;
        }
    }
    m_files.append({name, contents});
}

std::optional<QByteArray> PLRTFDArchive::file(const QString& name) const
{
    for (const File& f : m_files)
        if (f.name == name) return f.contents;
    for (const File& f : m_files)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0) return f.contents;
    return std::nullopt;
}

QByteArray PLRTFDArchive::serializedData() const
{
    // Entry 0 is the folder itself, named "."; names are UTF-8 ending with a NUL that their
    // lengths count.
    QList<QByteArray> names{QByteArrayLiteral(".")};
    QList<QByteArray> contents{QByteArray()};
    for (const File& f : m_files) {
        names << f.name.toUtf8();
        contents << f.contents;
    }
    QByteArray out;
    out.append(Signature, 4);
    appendUInt32(out, 0);
    appendUInt32(out, quint32(names.size()));
    for (const QByteArray& name : names) appendUInt32(out, quint32(name.size() + 1));
    for (const QByteArray& name : names) {
        out.append(name);
        out.append('\0');
    }
    for (const QByteArray& content : contents) appendUInt32(out, quint32(content.size()));
    for (const QByteArray& content : contents) out.append(content);
    return out;
}

bool PLRTFDArchive::isSerializedData(const QByteArray& data)
{
    return data.startsWith(QByteArrayView(Signature, 4));
}

std::optional<PLRTFDArchive> PLRTFDArchive::fromSerializedData(const QByteArray& data, PLError* error)
{
    if (!isSerializedData(data)) {
        if (PLRTFReader::isRTF(data)) {
            PLRTFDArchive archive;
            archive.m_files.append({TextFileName, data});
            return archive;
        }
        PLSetError(error, archiveError(NotRTFDError, QStringLiteral("The data is not RTFD")));
        return std::nullopt;
    }
    std::optional<ParsedBlob> parsed = parseBlob(data, false);
    if (!parsed) parsed = parseBlob(data, true);
    if (!parsed) {
        PLSetError(error, archiveError(DamagedError, QStringLiteral("The RTFD data is damaged")));
        return std::nullopt;
    }
    PLRTFDArchive archive;
    archive.m_files = std::move(parsed->files);
    if (parsed->truncated)
        PLSetError(error, archiveError(TruncatedError, QStringLiteral("The RTFD data ends inside a file")));
    return archive;
}

bool PLRTFDArchive::writeToDirectory(const QString& path, PLError* error) const
{
    if (!QDir().mkpath(path)) {
        PLSetError(error, archiveError(FileError, QStringLiteral("The folder \"%1\" could not be created").arg(path)));
        return false;
    }
    const QDir dir(path);
    for (const File& f : m_files) {
        if (!isSafeFileName(f.name)) continue;
        QSaveFile out(dir.filePath(f.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(f.contents) != f.contents.size() || !out.commit()) {
            PLSetError(error, archiveError(FileError, QStringLiteral("The file \"%1\" could not be written").arg(f.name)));
            return false;
        }
    }
    return true;
}

std::optional<PLRTFDArchive> PLRTFDArchive::fromDirectory(const QString& path, PLError* error)
{
    const QString folder = QFileInfo(path).canonicalFilePath();
    const int dirFd = folder.isEmpty() ? -1 : ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = dirFd < 0 ? nullptr : ::fdopendir(dirFd);
    if (!dir) {
        if (dirFd >= 0) ::close(dirFd);
        PLSetError(error, archiveError(FileError, QStringLiteral("The folder \"%1\" does not exist").arg(path)));
        return std::nullopt;
    }
    // Only the regular files directly in the folder count: a link is never followed, so no
    // file from elsewhere can pass for an attachment.
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        struct stat info {};
        if (name == QLatin1String(".") || name == QLatin1String("..")) continue;
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
        names.append(name);
    }
    std::sort(names.begin(), names.end());
    PLRTFDArchive archive;
    for (const QString& name : names) {
        const QString filePath = folder + QLatin1Char('/') + name;
        const int fd = ::openat(dirFd, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        struct stat info {};
        QFile in;
        const bool opened = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
            && QFileInfo(filePath).canonicalFilePath() == filePath && in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
        if (!opened) {
            if (fd >= 0 && !in.isOpen()) ::close(fd);
            ::closedir(dir);
            PLSetError(error, archiveError(FileError, QStringLiteral("The file \"%1\" could not be read").arg(name)));
            return std::nullopt;
        }
        archive.m_files.append({name, in.readAll()});
    }
    ::closedir(dir);
    // "TXT.rtf" first, as the folders written here have it.
    std::stable_sort(archive.m_files.begin(), archive.m_files.end(), [](const File& a, const File& b) {
        return a.name == TextFileName && b.name != TextFileName;
    });
    return archive;
}

QByteArray PLRTFDArchive::serialize(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes)
{
    return fromAttributedString(text, documentAttributes).serializedData();
}

std::optional<PLAttributedString> PLRTFDArchive::read(const QByteArray& data, PLDocumentAttributes* documentAttributes, PLError* error)
{
    PLError archiveError;
    const std::optional<PLRTFDArchive> archive = fromSerializedData(data, &archiveError);
    if (!archive) {
        PLSetError(error, archiveError);
        return std::nullopt;
    }
    std::optional<PLAttributedString> text = archive->attributedString(documentAttributes, error);
    // A truncated blob is reported even when the text itself read cleanly.
    if (archiveError && error && !*error) *error = archiveError;
    return text;
}
