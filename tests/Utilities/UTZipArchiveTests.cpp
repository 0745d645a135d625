#include "Platform/Core/PLLog.h"
#include "Utilities/UTZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <string_view>
#include <regex.h>
#include <zlib.h>

#include <functional>

namespace {

// Collects what the archive logs while it is alive.
class LogCapture {
public:
    LogCapture() : m_previous(PLLog::setSink([this](const QString& line) { lines << line; })) {}
    ~LogCapture() { PLLog::setSink(m_previous); }
    QStringList lines;

private:
    PLLog::Sink m_previous;
};

struct ProcessResult {
    int exitCode = -1;
    QByteArray output;
};

ProcessResult run(const QString& program, const QStringList& arguments, const QString& directory = QString())
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!directory.isEmpty()) process.setWorkingDirectory(directory);
    // UTF-8 names are matched only in a UTF-8 locale.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForFinished(60000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}

// What the zip tool writes to a pipe: it cannot seek back, so it writes data descriptors.
QByteArray zipThroughPipe(const QString& directory, const QStringList& arguments, const QByteArray& input = QByteArray())
{
    QProcess process;
    process.setWorkingDirectory(directory);
    process.start(QStringLiteral("/usr/bin/zip"), arguments);
    if (!process.waitForStarted()) return QByteArray();
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) return QByteArray();
    return process.readAllStandardOutput();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray rawDeflate(const QByteArray& input)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray output(qsizetype(deflateBound(&stream, uLong(input.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    stream.avail_in = uInt(input.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(output.size());
    deflate(&stream, Z_FINISH);
    output.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return output;
}

uint32_t crcOf(const QByteArray& bytes)
{
    return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
}

void appendU16(QByteArray& out, uint16_t value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendU32(QByteArray& out, uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A local file header with its name, extra field and data, as a hostile or foreign writer
// might lay it out; sizes default to the data's.
struct RawEntry {
    QByteArray name{};
    QByteArray data{};
    uint16_t method = 0;
    uint16_t flags = 0;
    std::optional<uint32_t> compressedSize{};
    std::optional<uint32_t> uncompressedSize{};
    QByteArray extra{};
    // The checksum of the uncompressed bytes; by default that of the data as stored.
    std::optional<uint32_t> crc{};

    QByteArray bytes() const
    {
        QByteArray out("PK\x03\x04", 4);
        appendU16(out, 20);
        appendU16(out, flags);
        appendU16(out, method);
        appendU16(out, 0x6000);
        appendU16(out, 0x5a21);
        appendU32(out, crc.value_or(crcOf(data)));
        appendU32(out, compressedSize.value_or(uint32_t(data.size())));
        appendU32(out, uncompressedSize.value_or(uint32_t(data.size())));
        appendU16(out, uint16_t(name.size()));
        appendU16(out, uint16_t(extra.size()));
        return out + name + extra + data;
    }
};

void appendU64(QByteArray& out, uint64_t value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    out.append(bytes, 8);
}

// The descriptor behind an entry's stored bytes, for its uncompressed bytes plain.
QByteArray dataDescriptor(const QByteArray& stored, const QByteArray& plain, std::optional<uint32_t> uncompressedSize = {})
{
    QByteArray out("PK\x07\x08", 4);
    appendU32(out, crcOf(plain));
    appendU32(out, uint32_t(stored.size()));
    appendU32(out, uncompressedSize.value_or(uint32_t(plain.size())));
    return out;
}

// The same with 8-byte sizes, as written behind entries with a Zip64 extra field.
QByteArray zip64DataDescriptor(const QByteArray& stored, const QByteArray& plain)
{
    QByteArray out("PK\x07\x08", 4);
    appendU32(out, crcOf(plain));
    appendU64(out, uint64_t(stored.size()));
    appendU64(out, uint64_t(plain.size()));
    return out;
}

// A Zip64 extra field with both sizes, uncompressed first.
QByteArray zip64Extra(uint64_t uncompressed, uint64_t compressed)
{
    QByteArray out = QByteArray::fromHex("01001000");
    appendU64(out, uncompressed);
    appendU64(out, compressed);
    return out;
}

// Markup-like text with a little noise, so that it compresses the way document parts do.
QByteArray sampleText(int seed, int size)
{
    static const char* const words[] = {"branch", "title", "style", "node", "picture", "layout", "comment", "date"};
    QByteArray out;
    uint32_t state = uint32_t(seed) * 2654435761u + 1;
    while (out.size() < size) {
        state = state * 1103515245u + 12345u;
        out += "<" + QByteArray(words[(state >> 16) % 8]) + " id=\"" + QByteArray::number(state % 100000) + "\"/>\n";
    }
    out.truncate(size);
    return out;
}

QStringList names(const UTZipArchive& archive)
{
    QStringList result;
    for (const UTZipArchiveItem& item : archive.items()) result << item.name();
    return result;
}

void expectZipError(const PLError& error, const QString& reason)
{
    EXPECT_EQ(error.domain(), QStringLiteral("Ideaflux"));
    EXPECT_EQ(error.code(), 1);
    EXPECT_EQ(error.failureReason(), reason);
}

const QString kUnzip = QStringLiteral("/usr/bin/unzip");
const QString kZip = QStringLiteral("/usr/bin/zip");

} // namespace

TEST(UTZipArchive, WrittenArchivesReadBackAndPassOtherReaders)
{
    const QList<QPair<QString, QByteArray>> parts = {
        {QStringLiteral("contents.xml"), sampleText(1, 20000)},
        {QStringLiteral("Pictures/Icons/star.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0binary\xff\xfe", 18)},
        {QStringLiteral("Pictures/empty.txt"), QByteArray("")},
        {QStringLiteral("Ünïcode/naïve.txt"), QByteArray("non-ASCII names are UTF-8")},
    };
    UTZipArchive archive;
    EXPECT_EQ(archive.compressionLevel(), 0);
    for (const auto& [path, bytes] : parts) ASSERT_TRUE(archive.setDataForFilePath(bytes, path));
    // Missing parent folders come first, outer before inner, each once.
    const QStringList expectedNames = {
        QStringLiteral("contents.xml"), QStringLiteral("Pictures/"), QStringLiteral("Pictures/Icons/"),
        QStringLiteral("Pictures/Icons/star.png"), QStringLiteral("Pictures/empty.txt"), QStringLiteral("Ünïcode/"),
        QStringLiteral("Ünïcode/naïve.txt"),
    };
    EXPECT_EQ(names(archive), expectedNames);

    PLError error;
    const QByteArray zip = archive.getZipData(&error);
    ASSERT_FALSE(zip.isEmpty()) << error.failureReason().toStdString();
    const std::optional<UTZipArchive> readBack = UTZipArchive::fromData(zip);
    ASSERT_TRUE(readBack);
    EXPECT_EQ(names(*readBack), expectedNames);
    for (const auto& [path, bytes] : parts) EXPECT_EQ(readBack->dataByPath(path), std::optional(bytes)) << path.toStdString();
    for (const UTZipArchiveItem& item : readBack->items()) {
        EXPECT_EQ(item.fileHeader()->LastModFileTime, 0);
        EXPECT_EQ(item.fileHeader()->LastModFileDate, 0);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("written.zip"));
    ASSERT_TRUE(writeFile(path, zip));
    const ProcessResult test = run(kUnzip, {QStringLiteral("-t"), path});
    EXPECT_EQ(test.exitCode, 0) << test.output.toStdString();
    for (const auto& [name, bytes] : parts) {
        const ProcessResult extracted = run(kUnzip, {QStringLiteral("-p"), path, name});
        EXPECT_EQ(extracted.output, bytes) << name.toStdString();
    }

    const std::optional<UTZipArchive> fromFile = UTZipArchive::fromFilePath(path);
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(fromFile->compressionLevel(), -1);
    EXPECT_EQ(fromFile->path(), path);
    EXPECT_EQ(names(*fromFile), expectedNames);
}

TEST(UTZipArchive, ReadsArchivesOfTheZipTool)
{
    QTemporaryDir dir;
    const QByteArray text = sampleText(2, 5000);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("in/sub")));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("in/sub/part.xml")), text));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("in/win\\style.xml")), text.left(300)));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("in/empty")), QByteArray()));

    const struct {
        const char* label;
        QStringList options;
        uint16_t method;
        bool streamed;
    } table[] = {
        {"stored", {QStringLiteral("-0")}, 0, false},
        {"deflated", {}, 8, false},
        {"streamed", {}, 8, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.label);
        const QString zipPath = dir.filePath(QString::fromLatin1(row.label) + QStringLiteral(".zip"));
        const QStringList inputs = {QStringLiteral("in/sub/part.xml"), QStringLiteral("in/win\\style.xml"), QStringLiteral("in/empty")};
        if (row.streamed) {
            ASSERT_TRUE(writeFile(zipPath, zipThroughPipe(dir.path(), QStringList{QStringLiteral("-q"), QStringLiteral("-")} + inputs)));
        } else {
            const ProcessResult made = run(kZip, QStringList{QStringLiteral("-q")} + row.options + QStringList{zipPath} + inputs, dir.path());
            ASSERT_EQ(made.exitCode, 0) << made.output.toStdString();
        }

        PLError error;
        std::optional<UTZipArchive> archive = UTZipArchive::fromFilePath(zipPath, &error);
        ASSERT_TRUE(archive) << error.failureReason().toStdString();
        EXPECT_EQ(archive->dataByPath(QStringLiteral("in/sub/part.xml")), std::optional(text));
        // "\" separators are read as "/".
        EXPECT_EQ(archive->dataByPath(QStringLiteral("in/win/style.xml")), std::optional(text.left(300)));
        EXPECT_EQ(archive->dataByName(QStringLiteral("empty")), std::optional(QByteArray("")));
        const UTZipArchiveItem& first = archive->items().front();
        EXPECT_EQ(first.fileHeader()->CompressionMethod, row.method);
        const uint16_t readTime = first.fileHeader()->LastModFileTime;
        const uint16_t readDate = first.fileHeader()->LastModFileDate;
        EXPECT_NE(readDate, 0);

        // Rewritten with an added part: read entries keep their dates, descriptors are gone.
        ASSERT_TRUE(archive->setDataForFilePath("added", QStringLiteral("added.txt")));
        const QByteArray rewritten = archive->getZipData();
        const std::optional<UTZipArchive> again = UTZipArchive::fromData(rewritten);
        ASSERT_TRUE(again);
        EXPECT_EQ(names(*again), names(*archive));
        EXPECT_EQ(again->items().front().fileHeader()->LastModFileTime, readTime);
        EXPECT_EQ(again->items().front().fileHeader()->LastModFileDate, readDate);
        EXPECT_EQ(again->items().back().fileHeader()->LastModFileDate, 0);
        EXPECT_EQ(again->dataByPath(QStringLiteral("in/sub/part.xml")), std::optional(text));
        EXPECT_EQ(again->dataByPath(QStringLiteral("added.txt")), std::optional(QByteArray("added")));
        const QString rewrittenPath = dir.filePath(QStringLiteral("rewritten.zip"));
        ASSERT_TRUE(writeFile(rewrittenPath, rewritten));
        const ProcessResult test = run(kUnzip, {QStringLiteral("-t"), rewrittenPath});
        EXPECT_EQ(test.exitCode, 0) << test.output.toStdString();
    }
}

// ASCII names are folded by a fast path, the others by Unicode case folding: both must find
// the same entries, and the characters next to A-Z must not be taken for letters.
TEST(UTZipArchive, EntriesCarryTheDateTheyWereWrittenAt)
{
    const struct {
        QDateTime date;
        QDateTime stored; // invalid: DOS date 0
    } dates[] = {
        {QDateTime(QDate(2026, 12, 11), QTime(4, 15, 53)), QDateTime(QDate(2026, 12, 11), QTime(4, 15, 52))},
        {QDateTime(QDate(1980, 1, 1), QTime(0, 0)), QDateTime(QDate(1980, 1, 1), QTime(0, 0))},
        {QDateTime(QDate(1970, 6, 1), QTime(12, 0)), QDateTime(QDate(1980, 1, 1), QTime(0, 0))},
        {QDateTime(QDate(2200, 6, 1), QTime(12, 0)), QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58))},
        {QDateTime(), QDateTime()},
    };
    for (const auto& d : dates) {
        UTZipArchiveItem item(QStringLiteral("a"));
        item.setModificationDate(d.date);
        EXPECT_EQ(item.modificationDate(), d.stored) << d.date.toString(Qt::ISODate).toStdString();
        if (!d.date.isValid()) EXPECT_EQ(item.fileHeader()->LastModFileDate, 0);
    }

    // Read entries keep their date; added, replaced and undated ones take the archive's.
    const QByteArray zip = RawEntry{.name = "kept.txt", .data = "k"}.bytes() + RawEntry{.name = "changed.txt", .data = "c"}.bytes();
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(zip);
    ASSERT_TRUE(archive);
    const QDateTime readDate = archive->items().front().modificationDate();
    ASSERT_TRUE(readDate.isValid());
    ASSERT_TRUE(archive->setDataForFilePath("early", QStringLiteral("Early/undated.txt")));
    const QDateTime save(QDate(2026, 3, 4), QTime(5, 6, 8));
    archive->setEntryDate(save);
    ASSERT_TRUE(archive->setDataForFilePath("changed", QStringLiteral("changed.txt")));
    ASSERT_TRUE(archive->setDataForFilePath("new", QStringLiteral("Sub/new.txt")));
    const QByteArray written = archive->getZipData();
    const std::optional<UTZipArchive> again = UTZipArchive::fromData(written);
    ASSERT_TRUE(again);
    QStringList dated;
    for (const UTZipArchiveItem& item : again->items())
        dated << item.name() + QLatin1Char(' ') + item.modificationDate().toString(Qt::ISODate);
    const QString saved = save.toString(Qt::ISODate);
    EXPECT_EQ(dated, (QStringList{QStringLiteral("kept.txt ") + readDate.toString(Qt::ISODate), QStringLiteral("changed.txt ") + saved,
                                  QStringLiteral("Early/ ") + saved, QStringLiteral("Early/undated.txt ") + saved,
                                  QStringLiteral("Sub/ ") + saved, QStringLiteral("Sub/new.txt ") + saved}));

    // Other readers see the same time.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dated.zip"));
    ASSERT_TRUE(writeFile(path, written));
    const ProcessResult listing = run(kUnzip, {QStringLiteral("-Z"), QStringLiteral("-T"), path});
    ASSERT_EQ(listing.exitCode, 0) << listing.output.toStdString();
    EXPECT_EQ(listing.output.count("20260304.050608"), 5) << listing.output.toStdString();
}

TEST(UTZipArchive, FoldsAsciiAndOtherNamesAlike)
{
    UTZipArchive archive;
    const struct {
        const char* stored;
        const char* asked;
        bool found;
    } cases[] = {
        {"Über/Straße.XML", "ÜBER/straße.xml", true},
        {"ÉTÉ-Notes.txt", "été-notes.TXT", true},
        {"Mixed@[Name].bin", "mixed@[name].BIN", true},
        {"Mixed@[Name].bin", "mixed`{name}.bin", false},
        {"ascii-lower.xml", "ASCII-LOWER.XML", true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(archive.setDataForFilePath(c.stored, QString::fromUtf8(c.stored)));
        EXPECT_EQ(archive.dataByPath(QString::fromUtf8(c.asked)), c.found ? std::optional(QByteArray(c.stored)) : std::nullopt)
            << c.asked;
    }
}

TEST(UTZipArchive, LooksUpNamesIgnoringCase)
{
    UTZipArchive archive;
    ASSERT_TRUE(archive.setDataForFilePath("nested", QStringLiteral("Folder/Contents.xml")));
    ASSERT_TRUE(archive.setDataForFilePath("top", QStringLiteral("contents.xml")));
    ASSERT_TRUE(archive.setDataForFilePath("styles", QStringLiteral("mindmap.styles.XML")));
    ASSERT_TRUE(archive.setDataForFilePath("plist", QStringLiteral("options.plist")));

    EXPECT_EQ(archive.dataByPath(QStringLiteral("CONTENTS.xml")), std::optional(QByteArray("top")));
    EXPECT_EQ(archive.dataByPath(QStringLiteral("folder/contents.xml")), std::optional(QByteArray("nested")));
    // By file name, the first entry with that last component wins, even inside a folder.
    EXPECT_EQ(archive.dataByName(QStringLiteral("CONTENTS.XML")), std::optional(QByteArray("nested")));
    EXPECT_EQ(archive.dataByName(QStringLiteral("Folder/Contents.xml")), std::nullopt);
    EXPECT_EQ(archive.dataByPath(QStringLiteral("missing.xml")), std::nullopt);
    EXPECT_EQ(archive.dataByName(QStringLiteral("missing.xml")), std::nullopt);

    EXPECT_EQ(archive.filePathsByFileExtension(QStringLiteral("xml")),
              (QStringList{QStringLiteral("Folder/Contents.xml"), QStringLiteral("contents.xml"), QStringLiteral("mindmap.styles.XML")}));
    EXPECT_EQ(archive.filePathsByFileExtension(QStringLiteral("rels")), QStringList());

    EXPECT_EQ(archive.firstFileMatch(QStringLiteral("^[a-z]+\\.styles\\.(xml|XML)$")), std::optional(QStringLiteral("mindmap.styles.XML")));
    EXPECT_EQ(archive.firstFileMatch(QStringLiteral("plist$")), std::optional(QStringLiteral("options.plist")));
    PLError error;
    EXPECT_EQ(archive.firstFileMatch(QStringLiteral("^nothing$"), &error), std::nullopt);
    EXPECT_FALSE(error);
    EXPECT_EQ(archive.firstFileMatch(QStringLiteral("(unclosed"), &error), std::nullopt);
    expectZipError(error, QStringLiteral("regex error %1").arg(REG_EPAREN));

    // A file name never finds a folder entry: a part named like a folder is a part of its own.
    EXPECT_EQ(archive.dataByName(QStringLiteral("folder")), std::nullopt);
    ASSERT_TRUE(archive.setDataForFileName("part", QStringLiteral("FOLDER")));
    EXPECT_EQ(archive.dataByName(QStringLiteral("folder")), std::optional(QByteArray("part")));
    EXPECT_EQ(names(archive).last(), QStringLiteral("FOLDER"));
    EXPECT_NE(archive.dataByPath(QStringLiteral("Folder/")), std::optional(QByteArray("part")));
}

TEST(UTZipArchive, ReplacingKeepsPlaceAndStoredName)
{
    QByteArray zip = RawEntry{.name = "Content/Doc.XML", .data = "old"}.bytes() + RawEntry{.name = "b.txt", .data = "b"}.bytes();
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(zip);
    ASSERT_TRUE(archive);
    ASSERT_TRUE(archive->setDataForFilePath("by path", QStringLiteral("content/doc.xml")));
    EXPECT_EQ(names(*archive), (QStringList{QStringLiteral("Content/Doc.XML"), QStringLiteral("b.txt")}));
    EXPECT_EQ(archive->dataByPath(QStringLiteral("Content/Doc.XML")), std::optional(QByteArray("by path")));
    // The read entry keeps its date; replaced bytes are deflated.
    EXPECT_EQ(archive->items().front().fileHeader()->LastModFileDate, 0x5a21);
    EXPECT_EQ(archive->items().front().fileHeader()->CompressionMethod, 8);

    ASSERT_TRUE(archive->setDataForFileName("by name", QStringLiteral("DOC.xml")));
    ASSERT_TRUE(archive->setDataForFileName("new", QStringLiteral("Sub/new.txt")));
    EXPECT_EQ(names(*archive), (QStringList{QStringLiteral("Content/Doc.XML"), QStringLiteral("b.txt"), QStringLiteral("Sub/"),
                                           QStringLiteral("Sub/new.txt")}));
    EXPECT_EQ(archive->dataByName(QStringLiteral("doc.xml")), std::optional(QByteArray("by name")));

    // A folder that exists under another case is not added again.
    ASSERT_TRUE(archive->setDataForFilePath("x", QStringLiteral("sub/other.txt")));
    EXPECT_EQ(names(*archive).last(), QStringLiteral("sub/other.txt"));
    EXPECT_EQ(names(*archive).size(), 5);
}

TEST(UTZipArchive, DataDescriptorsAreReadOrRefused)
{
    // The stored bytes hold a descriptor signature whose size does not match; the true
    // descriptor follows them.
    const QByteArray tricky = QByteArray("abcPK\x07\x08", 7) + QByteArray(12, '\x01') + "rest of the data";
    const QByteArray deflated = rawDeflate(sampleText(3, 4000));
    const QByteArray fixture = RawEntry{.name = "tricky.bin", .data = tricky, .flags = 8, .compressedSize = 0, .uncompressedSize = 0}.bytes()
                               + dataDescriptor(tricky, tricky)
                               + RawEntry{.name = "deflated.xml", .data = deflated, .method = 8, .flags = 8, .compressedSize = 0, .uncompressedSize = 0}.bytes()
                               + dataDescriptor(deflated, sampleText(3, 4000)) + RawEntry{.name = "after.txt", .data = "after"}.bytes();
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(fixture);
    ASSERT_TRUE(archive);
    EXPECT_EQ(names(*archive), (QStringList{QStringLiteral("tricky.bin"), QStringLiteral("deflated.xml"), QStringLiteral("after.txt")}));
    EXPECT_EQ(archive->dataByPath(QStringLiteral("tricky.bin")), std::optional(tricky));
    EXPECT_EQ(archive->dataByPath(QStringLiteral("deflated.xml")), std::optional(sampleText(3, 4000)));
    EXPECT_EQ(archive->items().front().fileHeader()->DataDescriptor.CRC32, crcOf(tricky));

    // Written back without descriptors, every entry is still found.
    const std::optional<UTZipArchive> again = UTZipArchive::fromData(archive->getZipData());
    ASSERT_TRUE(again);
    EXPECT_EQ(names(*again), names(*archive));
    EXPECT_EQ(again->items().front().fileHeader()->GeneralBitFlag & 8, 0);

    // Descriptors whose entry also has its sizes in the local header, and Zip64 sizes.
    const QByteArray plain = sampleText(5, 3000);
    const QByteArray packed = rawDeflate(plain);
    const struct {
        const char* label;
        QByteArray bytes;
        QByteArray expected;
    } readable[] = {
        {"sizes in the header, unsigned descriptor",
         RawEntry{.name = "x", .data = "data", .flags = 8}.bytes() + dataDescriptor("data", "data").mid(4), "data"},
        {"sizes in the header, no descriptor", RawEntry{.name = "x", .data = "data", .flags = 8}.bytes(), "data"},
        {"deflated, sizes in the header, unsigned descriptor",
         RawEntry{.name = "x", .data = packed, .method = 8, .flags = 8, .uncompressedSize = uint32_t(plain.size()), .crc = 0}.bytes()
             + dataDescriptor(packed, plain).mid(4),
         plain},
        {"Zip64 sizes in the extra field",
         RawEntry{.name = "x", .data = "data", .compressedSize = 0xFFFFFFFF, .uncompressedSize = 0xFFFFFFFF, .extra = zip64Extra(4, 4)}.bytes(),
         "data"},
        {"Zip64 deflated, only the marked size in the extra field",
         RawEntry{.name = "x", .data = packed, .method = 8, .uncompressedSize = 0xFFFFFFFF,
                  .extra = QByteArray::fromHex("01000800") + zip64Extra(plain.size(), 0).mid(4, 8), .crc = crcOf(plain)}.bytes(),
         plain},
        {"Zip64 field with both sizes, only one marked in the header",
         RawEntry{.name = "x", .data = packed, .method = 8, .uncompressedSize = 0xFFFFFFFF, .extra = zip64Extra(plain.size(), 0),
                  .crc = crcOf(plain)}.bytes(),
         plain},
        {"Zip64 descriptor",
         RawEntry{.name = "x", .data = packed, .method = 8, .flags = 8, .compressedSize = 0, .uncompressedSize = 0, .extra = zip64Extra(0, 0)}.bytes()
             + zip64DataDescriptor(packed, plain),
         plain},
    };
    for (const auto& row : readable) {
        SCOPED_TRACE(row.label);
        const QByteArray bytes = row.bytes + RawEntry{.name = "next.txt", .data = "next"}.bytes();
        PLError error;
        const std::optional<UTZipArchive> read = UTZipArchive::fromData(bytes, &error);
        ASSERT_TRUE(read) << error.failureReason().toStdString();
        EXPECT_EQ(names(*read), (QStringList{QStringLiteral("x"), QStringLiteral("next.txt")}));
        const QByteArray& expected = row.expected;
        EXPECT_EQ(read->dataByPath(QStringLiteral("x"), &error), std::optional(expected)) << error.failureReason().toStdString();
        EXPECT_EQ(read->dataByPath(QStringLiteral("next.txt")), std::optional(QByteArray("next")));
        // Written back with classic sizes, read by the same rules.
        const std::optional<UTZipArchive> rewritten = UTZipArchive::fromData(UTZipArchive(*read).getZipData());
        ASSERT_TRUE(rewritten);
        EXPECT_EQ(rewritten->dataByPath(QStringLiteral("x")), std::optional(expected));
    }

    const QString unreadableSizes = QStringLiteral("Zip entry 'x' has Zip64 sizes that cannot be read.");
    const struct {
        const char* label;
        QByteArray bytes;
        QString reason;
    } refused[] = {
        {"descriptor without signature nor sizes in the header",
         RawEntry{.name = "x", .data = "data", .flags = 8, .compressedSize = 0, .uncompressedSize = 0}.bytes()
             + QByteArray::fromHex("000000000400000004000000") + RawEntry{.name = "b.txt", .data = "b"}.bytes(),
         QStringLiteral("Zip entry 'x' has no data descriptor signature, which is not supported.")},
        {"Zip64 sizes in the header without extra field",
         RawEntry{.name = "x", .data = "data", .compressedSize = 0xFFFFFFFF, .uncompressedSize = 0xFFFFFFFF}.bytes(), unreadableSizes},
        {"Zip64 size beyond the limit",
         RawEntry{.name = "x", .data = "data", .compressedSize = 0xFFFFFFFF, .uncompressedSize = 0xFFFFFFFF,
                  .extra = zip64Extra(uint64_t(1) << 33, 4)}.bytes(),
         unreadableSizes},
        {"Zip64 marker in a classic descriptor",
         RawEntry{.name = "x", .data = "data", .flags = 8, .compressedSize = 0, .uncompressedSize = 0}.bytes() + dataDescriptor("data", "data", 0xFFFFFFFF),
         unreadableSizes},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.label);
        PLError error;
        EXPECT_EQ(UTZipArchive::fromData(row.bytes, &error), std::nullopt);
        expectZipError(error, row.reason);
    }

    // The zip tool reading a pipe writes Zip64 fields and descriptors.
    QTemporaryDir dir;
    const QByteArray piped = zipThroughPipe(dir.path(), {QStringLiteral("-q")}, sampleText(6, 20000));
    ASSERT_FALSE(piped.isEmpty());
    PLError error;
    const std::optional<UTZipArchive> pipedArchive = UTZipArchive::fromData(piped, &error);
    ASSERT_TRUE(pipedArchive) << error.failureReason().toStdString();
    EXPECT_EQ(pipedArchive->dataByPath(QStringLiteral("-")), std::optional(sampleText(6, 20000)));
}

TEST(UTZipArchive, DamagedOrEmptyInput)
{
    const QByteArray good = RawEntry{.name = "one.txt", .data = "first"}.bytes();
    const struct {
        const char* label;
        QByteArray bytes;
        QStringList names;
    } table[] = {
        {"26 bytes", good.left(26), {}},
        {"no header", QByteArray(5000, 'P'), {}},
        {"truncated name", good + good.left(32), {QStringLiteral("one.txt")}},
        {"truncated data", good + RawEntry{.name = "two.txt", .data = "second"}.bytes().chopped(2), {QStringLiteral("one.txt")}},
        {"extra field past the end", good + RawEntry{.name = "two.txt", .extra = QByteArray(4, '\0')}.bytes().chopped(2), {QStringLiteral("one.txt")}},
        {"garbage before", QByteArray("junkPK\x05", 7) + good, {QStringLiteral("one.txt")}},
        {"headers inside the central directory", good + "PK\x01\x02" + RawEntry{.name = "two.txt"}.bytes(), {QStringLiteral("one.txt")}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.label);
        LogCapture log;
        const std::optional<UTZipArchive> archive = UTZipArchive::fromData(row.bytes);
        ASSERT_TRUE(archive);
        EXPECT_EQ(names(*archive), row.names);
        if (row.names.isEmpty()) {
            EXPECT_EQ(log.lines, QStringList{QStringLiteral("Zip file '(null)'. No objects found.")});
            EXPECT_EQ(archive->dataByName(QStringLiteral("one.txt")), std::nullopt);
        }
    }

    LogCapture log;
    EXPECT_EQ(UTZipArchive::fromData(QByteArray()), std::nullopt);
    EXPECT_EQ(UTZipArchive::fromFilePath(QStringLiteral("/nonexistent/x.zip")), std::nullopt);
    EXPECT_EQ(log.lines, (QStringList{QStringLiteral("ZipFile: Cannot load data."), QStringLiteral("ZipFile '/nonexistent/x.zip'. Cannot load file.")}));
}

TEST(UTZipArchive, UnreadableEntriesGiveErrors)
{
    const QByteArray hello = rawDeflate("hello");
    const QByteArray hundred = rawDeflate(sampleText(4, 100));
    const QByteArray small = rawDeflate("0123456789");
    const struct {
        const char* label;
        RawEntry entry;
        QString reason;
    } table[] = {
        {"corrupt stream", {.name = "x", .data = "\xff\xff\xff", .method = 8, .uncompressedSize = 10}, QStringLiteral("zlib error %1").arg(Z_DATA_ERROR)},
        {"unknown method", {.name = "x", .data = "abc", .method = 12}, QStringLiteral("Unknown compression method 12")},
        {"size over the limit", {.name = "x", .data = hello, .method = 8, .uncompressedSize = 0x80000000},
         QStringLiteral("Zip entry 'x' declares an implausible size of 2147483648 bytes.")},
        {"size beyond deflate's reach", {.name = "x", .data = small, .method = 8, .uncompressedSize = 1000000},
         QStringLiteral("Zip entry 'x' declares an implausible size of 1000000 bytes.")},
        {"stream shorter than declared", {.name = "x", .data = hello, .method = 8, .uncompressedSize = 50}, QStringLiteral("zlib error %1").arg(Z_DATA_ERROR)},
        {"stream longer than declared", {.name = "x", .data = hundred, .method = 8, .uncompressedSize = 10}, QStringLiteral("zlib error %1").arg(Z_BUF_ERROR)},
        {"encrypted", {.name = "x", .data = "abc", .flags = 1}, QStringLiteral("Zip entry 'x' is encrypted, which is not supported.")},
        {"stored bytes not matching their checksum", {.name = "x", .data = "abc", .crc = crcOf("abd")},
         QStringLiteral("Zip entry 'x' is damaged: its checksum does not match.")},
        {"inflated bytes not matching their checksum", {.name = "x", .data = hello, .method = 8, .uncompressedSize = 5, .crc = crcOf("hellp")},
         QStringLiteral("Zip entry 'x' is damaged: its checksum does not match.")},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.label);
        const std::optional<UTZipArchive> archive = UTZipArchive::fromData(row.entry.bytes());
        ASSERT_TRUE(archive);
        PLError error;
        EXPECT_EQ(archive->dataByPath(QStringLiteral("x"), &error), std::nullopt);
        expectZipError(error, row.reason);
        QTemporaryDir dir;
        PLError copyError;
        EXPECT_FALSE(archive->copyFilesToFolder(dir.path(), &copyError));
        EXPECT_EQ(copyError, error);
    }
}

// Inflating in steps (for a reader on another thread) must end as inflating at once does:
// the same bytes, or the same error, whatever goes wrong in which step.
TEST(UTZipArchive, InflatingInStepsEndsAsInflatingAtOnce)
{
    const QByteArray plain = sampleText(7, 1536 * 1024);
    const QByteArray deflated = rawDeflate(plain);
    const auto size = uint32_t(plain.size());
    QByteArray damaged = deflated;
    for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 64; ++i) damaged[i] = char(~damaged[i]);
    const struct {
        const char* label;
        RawEntry entry;
    } table[] = {
        {"intact", {.name = "x", .data = deflated, .method = 8, .uncompressedSize = size, .crc = crcOf(plain)}},
        {"truncated", {.name = "x", .data = deflated.left(deflated.size() / 2), .method = 8, .uncompressedSize = size, .crc = crcOf(plain)}},
        {"damaged in the middle", {.name = "x", .data = damaged, .method = 8, .uncompressedSize = size, .crc = crcOf(plain)}},
        {"declared shorter", {.name = "x", .data = deflated, .method = 8, .uncompressedSize = size - 1000, .crc = crcOf(plain)}},
        {"declared longer", {.name = "x", .data = deflated, .method = 8, .uncompressedSize = size + 1000, .crc = crcOf(plain)}},
        {"checksum", {.name = "x", .data = deflated, .method = 8, .uncompressedSize = size, .crc = crcOf(plain) + 1}},
        {"small", {.name = "x", .data = rawDeflate("hello"), .method = 8, .uncompressedSize = 5, .crc = crcOf("hello")}},
        {"stored", {.name = "x", .data = plain, .crc = crcOf(plain)}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.label);
        const std::optional<UTZipArchive> archive = UTZipArchive::fromData(row.entry.bytes());
        ASSERT_TRUE(archive);
        PLError atOnce;
        const std::optional<QByteArray> whole = archive->dataByName(QStringLiteral("x"), &atOnce);
        PLError inSteps;
        const bool intact = row.label == std::string_view("intact");
        qsizetype lastReady = 0;
        int steps = 0;
        const std::optional<QByteArray> stepped =
            archive->dataByName(QStringLiteral("x"), &inSteps, [&](const QByteArray& bytes, qsizetype ready) {
                EXPECT_GE(ready, lastReady);
                EXPECT_LE(ready, bytes.size());
                // What is ready is final: it is what the entry holds there.
                if (intact) EXPECT_EQ(QByteArrayView(bytes).first(ready), QByteArrayView(plain).first(ready));
                lastReady = ready;
                ++steps;
                return true;
            });
        EXPECT_EQ(stepped, whole);
        EXPECT_EQ(inSteps, atOnce);
        if (intact) {
            EXPECT_EQ(stepped, std::optional(plain));
            EXPECT_GT(steps, 2);
        }
    }
}

// A reader that needs no more bytes stops the inflating at the step it says so.
TEST(UTZipArchive, InflatingInStepsStopsWhenTold)
{
    const QByteArray plain = sampleText(3, 4 * 1024 * 1024);
    const RawEntry entry{.name = "x", .data = rawDeflate(plain), .method = 8, .uncompressedSize = uint32_t(plain.size()), .crc = crcOf(plain)};
    const std::optional<UTZipArchive> archive = UTZipArchive::fromData(entry.bytes());
    ASSERT_TRUE(archive);
    int steps = 0;
    PLError error;
    const std::optional<QByteArray> stopped =
        archive->dataByName(QStringLiteral("x"), &error, [&](const QByteArray&, qsizetype) { return ++steps < 2; });
    EXPECT_EQ(stopped, std::nullopt);
    EXPECT_EQ(steps, 2);
    expectZipError(error, QStringLiteral("Inflating zip entry 'x' was stopped."));
    // The next look-up on this thread starts afresh.
    EXPECT_EQ(archive->dataByName(QStringLiteral("x")), std::optional(plain));
}

TEST(UTZipArchive, CopiesFilesOnlyInsideTheFolder)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(target));
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QFile::link(outside, target + QStringLiteral("/link")));

    UTZipArchive safe;
    ASSERT_TRUE(safe.setDataForFilePath("deep", QStringLiteral("a/b/deep.txt")));
    ASSERT_TRUE(safe.setDataForFilePath("", QStringLiteral("empty.txt")));
    // Without folder entries the folders are still made.
    std::optional<UTZipArchive> withoutFolders = UTZipArchive::fromData(RawEntry{.name = "x/y/z.txt", .data = "z"}.bytes());
    ASSERT_TRUE(withoutFolders);
    EXPECT_TRUE(safe.copyFilesToFolder(target));
    EXPECT_TRUE(withoutFolders->copyFilesToFolder(target));
    EXPECT_EQ(readFile(target + QStringLiteral("/a/b/deep.txt")), QByteArray("deep"));
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/empty.txt")).isFile());
    EXPECT_EQ(readFile(target + QStringLiteral("/x/y/z.txt")), QByteArray("z"));

    QByteArray hostile;
    for (const char* name : {"../escape.txt", "/tmp/absolute.txt", "a/../../escape2.txt", "link/through.txt", "link", "ok.txt"})
        hostile += RawEntry{.name = name, .data = "bad"}.bytes();
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(hostile);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->items().size(), 6u);
    PLError error;
    EXPECT_FALSE(archive->copyFilesToFolder(target, &error));
    EXPECT_EQ(error.failureReason(), QStringLiteral("Zip entry '../escape.txt' would be written outside the folder."));
    EXPECT_EQ(QDir(outside).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("escape.txt"))));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("escape2.txt"))));
    EXPECT_EQ(readFile(target + QStringLiteral("/ok.txt")), QByteArray("bad"));
}

// What the reader takes the writer writes: beyond the classic count, through Zip64 end
// records that other readers agree with.
TEST(UTZipArchive, WritesZip64EndRecordsBeyondTheClassicCount)
{
    QTemporaryDir dir;
    for (const int count : {65534, 65535, 70000}) {
        SCOPED_TRACE(count);
        QByteArray bytes;
        for (int i = 0; i < count; ++i) bytes += RawEntry{.name = QByteArray::number(i)}.bytes();
        std::optional<UTZipArchive> archive = UTZipArchive::fromData(bytes);
        ASSERT_TRUE(archive);
        ASSERT_EQ(archive->items().size(), size_t(count));
        PLError error;
        const QByteArray zip = archive->getZipData(&error);
        ASSERT_FALSE(zip.isEmpty()) << error.failureReason().toStdString();
        EXPECT_EQ(zip.contains("PK\x06\x06"), count > 65534);
        const std::optional<UTZipArchive> readBack = UTZipArchive::fromData(zip);
        ASSERT_TRUE(readBack);
        EXPECT_EQ(readBack->items().size(), size_t(count));

        const QString path = dir.filePath(QStringLiteral("%1.zip").arg(count));
        ASSERT_TRUE(writeFile(path, zip));
        const ProcessResult test = run(kUnzip, {QStringLiteral("-tq"), path});
        EXPECT_EQ(test.exitCode, 0) << test.output.right(500).toStdString();
        const ProcessResult listed = run(kUnzip, {QStringLiteral("-l"), path});
        EXPECT_TRUE(listed.output.trimmed().endsWith(" " + QByteArray::number(count) + " files")) << listed.output.right(200).toStdString();
    }
}

TEST(UTZipArchive, FolderEntriesGiveTheirFilesAsAnArchive)
{
    UTZipArchive archive;
    ASSERT_TRUE(archive.setDataForFilePath("one", QStringLiteral("Folder/one.txt")));
    ASSERT_TRUE(archive.setDataForFilePath("two", QStringLiteral("Folder/Sub/two.txt")));
    ASSERT_TRUE(archive.setDataForFilePath("other", QStringLiteral("Other/three.txt")));
    const std::optional<QByteArray> folder = archive.dataByPath(QStringLiteral("folder/"));
    ASSERT_TRUE(folder);
    const std::optional<UTZipArchive> contents = UTZipArchive::fromData(*folder);
    ASSERT_TRUE(contents);
    EXPECT_EQ(names(*contents), (QStringList{QStringLiteral("one.txt"), QStringLiteral("Sub/"), QStringLiteral("Sub/two.txt")}));
    EXPECT_EQ(contents->dataByPath(QStringLiteral("Sub/two.txt")), std::optional(QByteArray("two")));

    UTZipArchive levels;
    for (const int level : {-5, 4, 12}) {
        levels.setCompressionLevel(level);
        EXPECT_EQ(levels.compressionLevel(), std::clamp(level, -1, 9));
    }
}
