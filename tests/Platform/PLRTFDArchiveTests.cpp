#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRTFReader.h"

#include "RichTextTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Entry {
    QByteArray name;
    QByteArray contents;
};

struct BlobOptions {
    bool bigEndian = false;
    bool terminatingNul = true;
    bool folderEntry = true;
};

// A flattened folder built byte by byte, independently of the code under test.
QByteArray blob(const QList<Entry>& files, BlobOptions options = {})
{
    QList<Entry> entries = files;
    if (options.folderEntry) entries.prepend({".", {}});
    const auto u32 = [&](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i) b[options.bigEndian ? 3 - i : i] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    QByteArray out = "rtfd" + u32(0) + u32(quint32(entries.size()));
    const int nul = options.terminatingNul ? 1 : 0;
    for (const Entry& e : entries) out += u32(quint32(e.name.size() + nul));
    for (const Entry& e : entries) out += e.name + QByteArray(nul, '\0');
    for (const Entry& e : entries) out += u32(quint32(e.contents.size()));
    for (const Entry& e : entries) out += e.contents;
    return out;
}

const QByteArray noteRTF = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
                           "\\f0\\fs24 See {{\\NeXTGraphic a.png \\width80 \\height40\n}\xAC} here}";

PLAttributedString textWithPictures()
{
    PLTextAttributes a;
    a.font = PLFont(QStringLiteral("Helvetica"), 12);
    PLAttributedString text(QStringLiteral("Two pictures: "), a);
    text.append(PLAttributedString::fromAttachment(
        PLTextAttachment::make(QStringLiteral("chart.png"), RichTextTest::pngBytes(30, 20, Qt::red)), a));
    text.append(QStringLiteral(" and "), a);
    text.append(PLAttributedString::fromAttachment(
        PLTextAttachment::make(QStringLiteral("photo.png"), RichTextTest::pngBytes(8, 8, Qt::blue), QSizeF(50, 50)), a));
    text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("data.bin"), QByteArray("\0\1\2", 3)), a));
    text.append(QStringLiteral("\nend"), a);
    return text;
}

} // namespace

TEST(PLRTFDArchive, WritesTheDocumentedLayout)
{
    PLRTFDArchive archive;
    archive.setFile(QStringLiteral("TXT.rtf"), "{\\rtf");
    archive.setFile(QStringLiteral("a.png"), "abc");
    const QByteArray expected = QByteArray::fromHex("72746664"
                                                    "00000000"
                                                    "03000000"
                                                    "02000000"
                                                    "08000000"
                                                    "06000000"
                                                    "2e00"
                                                    "5458542e72746600"
                                                    "612e706e6700"
                                                    "00000000"
                                                    "05000000"
                                                    "03000000")
        + "{\\rtfabc";
    EXPECT_EQ(archive.serializedData(), expected);
    EXPECT_EQ(blob({{"TXT.rtf", "{\\rtf"}, {"a.png", "abc"}}), expected);
}

TEST(PLRTFDArchive, ReadsHandMadeBlobsTolerantly)
{
    const QByteArray picture = RichTextTest::fixture("pixels.png");
    const QList<Entry> files = {{"TXT.rtf", noteRTF}, {"a.png", picture}};
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"as written", blob(files)},
        {"big-endian", blob(files, {true, true, true})},
        {"names without NUL", blob(files, {false, false, true})},
        {"no folder entry", blob(files, {false, true, false})},
        {"text name in other case", blob({{"txt.RTF", noteRTF}, {"a.png", picture}})},
        {"other RTF name", blob({{"a.png", picture}, {"note.rtf", noteRTF}})},
        {"unsafe and repeated names dropped", blob({{"../a.png", "bad"}, {"TXT.rtf", noteRTF}, {"a.png", picture}, {"a.png", "again"}})},
        {"folder entry with contents", blob({{".", "junk"}, {"TXT.rtf", noteRTF}, {"a.png", picture}}, {false, true, false})},
    };
    for (const auto& c : cases) {
        PLError error;
        const std::optional<PLAttributedString> text = PLRTFDArchive::read(c.data, nullptr, &error);
        ASSERT_TRUE(text) << c.name;
        EXPECT_FALSE(error) << c.name << ": " << error.failureReason().toStdString();
        EXPECT_EQ(text->string(), QString::fromUtf8("See \uFFFC here")) << c.name;
        const PLTextAttachmentPtr attachment = text->attributesAt(4).attachment;
        ASSERT_TRUE(attachment) << c.name;
        EXPECT_EQ(attachment->fileName(), QStringLiteral("a.png"));
        EXPECT_EQ(attachment->contents(), picture) << c.name;
    }
    // Plain RTF where a blob belongs.
    const std::optional<PLAttributedString> plain = PLRTFDArchive::read(noteRTF);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->string(), QString::fromUtf8("See \uFFFC here"));
    EXPECT_EQ(plain->attributesAt(4).attachment->fileName(), QStringLiteral("a.png"));
    EXPECT_TRUE(plain->attributesAt(4).attachment->contents().isEmpty()) << "a missing file leaves the name";
}

TEST(PLRTFDArchive, TextWithAttachmentsRoundTrips)
{
    const PLAttributedString text = textWithPictures();
    PLDocumentAttributes document;
    document.paperSize = QSizeF(595, 842);
    document.viewZoom = 100;

    const QByteArray data = PLRTFDArchive::serialize(text, document);
    ASSERT_TRUE(PLRTFDArchive::isSerializedData(data));
    PLDocumentAttributes back;
    PLError error;
    const std::optional<PLAttributedString> read = PLRTFDArchive::read(data, &back, &error);
    ASSERT_TRUE(read);
    EXPECT_FALSE(error);
    EXPECT_EQ(*read, text);
    EXPECT_EQ(back, document);

    const std::optional<PLRTFDArchive> archive = PLRTFDArchive::fromSerializedData(data);
    ASSERT_TRUE(archive);
    QStringList names;
    for (const PLRTFDArchive::File& f : archive->files()) names << f.name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("TXT.rtf"), QStringLiteral("chart.png"), QStringLiteral("photo.png"),
                                  QStringLiteral("data.bin")}));
}

TEST(PLRTFDArchive, DamagedBlobsReportErrors)
{
    const QByteArray good = blob({{"TXT.rtf", noteRTF}, {"a.png", "0123456789"}});
    QByteArray hugeCount = good;
    hugeCount[8] = char(0xFF), hugeCount[9] = char(0xFF), hugeCount[10] = char(0xFF), hugeCount[11] = char(0x7F);
    QByteArray hugeName = good;
    hugeName[16] = char(0xFF), hugeName[17] = char(0xFF), hugeName[18] = char(0xFF);
    const struct {
        const char* name;
        QByteArray data;
        int code;
        bool hasText;
    } cases[] = {
        {"not RTFD", "just text", PLRTFDArchive::NotRTFDError, false},
        {"signature only", "rtfd", PLRTFDArchive::DamagedError, false},
        {"no entries", blob({}, {false, true, false}), PLRTFDArchive::DamagedError, false},
        {"count beyond the data", hugeCount, PLRTFDArchive::DamagedError, false},
        {"name beyond the data", hugeName, PLRTFDArchive::DamagedError, false},
        {"contents cut short", good.left(good.size() - 4), PLRTFDArchive::TruncatedError, true},
        {"no text file", blob({{"a.png", "x"}}), PLRTFDArchive::NoTextError, false},
        {"text file not RTF", blob({{"TXT.rtf", "plain"}}), PLRTFReader::NotRTFError, false},
        {"damaged text", blob({{"TXT.rtf", "{\\rtf1 cut"}}), PLRTFReader::TruncatedError, true},
    };
    for (const auto& c : cases) {
        PLError error;
        const std::optional<PLAttributedString> text = PLRTFDArchive::read(c.data, nullptr, &error);
        EXPECT_EQ(text.has_value(), c.hasText) << c.name;
        EXPECT_EQ(error.code(), c.code) << c.name;
    }
    // What was complete is kept.
    const std::optional<PLRTFDArchive> cut = PLRTFDArchive::fromSerializedData(good.left(good.size() - 4));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->files().size(), 1);
    EXPECT_EQ(cut->file(QStringLiteral("TXT.rtf")), noteRTF);
}

TEST(PLRTFDArchive, FoldersOnDiskRoundTrip)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QString path = temporary.filePath(QStringLiteral("note.rtfd"));
    const PLAttributedString text = textWithPictures();
    const PLRTFDArchive archive = PLRTFDArchive::fromAttributedString(text);
    PLError error;
    ASSERT_TRUE(archive.writeToDirectory(path, &error)) << error.failureReason().toStdString();
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("/TXT.rtf")));
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("/photo.png")));

    const std::optional<PLRTFDArchive> back = PLRTFDArchive::fromDirectory(path, &error);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->files().first().name, QStringLiteral("TXT.rtf"));
    EXPECT_EQ(back->attributedString(), text);

    // Names from elsewhere never leave the folder.
    PLRTFDArchive hostile;
    hostile.setFile(QStringLiteral("TXT.rtf"), "{\\rtf1 x}");
    hostile.setFile(QStringLiteral("../escaped"), "bad");
    const QString other = temporary.filePath(QStringLiteral("other.rtfd"));
    EXPECT_TRUE(hostile.writeToDirectory(other));
    EXPECT_FALSE(QFileInfo::exists(temporary.filePath(QStringLiteral("escaped"))));
    // Links inside a folder are never followed, whether to files or to folders outside it.
    QFile secret(temporary.filePath(QStringLiteral("secret.png")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("private bytes");
    secret.close();
    ASSERT_TRUE(QFile::remove(path + QStringLiteral("/photo.png")));
    ASSERT_TRUE(QFile::link(secret.fileName(), path + QStringLiteral("/photo.png")));
    ASSERT_TRUE(QFile::link(temporary.path(), path + QStringLiteral("/up")));
    ASSERT_TRUE(QDir(path).mkdir(QStringLiteral("inner")));
    const std::optional<PLRTFDArchive> linked = PLRTFDArchive::fromDirectory(path, &error);
    ASSERT_TRUE(linked);
    QStringList names;
    for (const PLRTFDArchive::File& file : linked->files()) {
        names << file.name;
        EXPECT_NE(file.contents, QByteArray("private bytes"));
    }
    EXPECT_FALSE(names.contains(QStringLiteral("photo.png")));
    EXPECT_FALSE(names.contains(QStringLiteral("up")));
    EXPECT_FALSE(names.contains(QStringLiteral("inner")));
    EXPECT_TRUE(names.contains(QStringLiteral("TXT.rtf")));

    EXPECT_FALSE(PLRTFDArchive::fromDirectory(temporary.filePath(QStringLiteral("missing")), &error));
    EXPECT_EQ(error.code(), PLRTFDArchive::FileError);
}
