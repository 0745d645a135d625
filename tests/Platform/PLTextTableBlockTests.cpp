#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"
#include "Platform/Text/PLRichTextFormat.h"

#include "RichTextTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using RichTextTest::fixture;
using RichTextTest::tableOutline;

namespace {

// A table with nesting three deep, written the way word processors write nested rows (their
// definition after their cells), with cells merged across.
const char* const HandMadeNestedTables = R"({\rtf1\ansi
\trowd\cellx2000\cellx4000\cellx6000
\pard\intbl One\cell
\pard\intbl\itap2 Two a\nestcell
\pard\intbl\itap3 deep\nestcell{\*\nesttableprops\trowd\cellx500\nestrow}{\nonesttables\par}
\pard\intbl\itap2 \nestcell{\*\nesttableprops\trowd\cellx1000\cellx2000\nestrow}{\nonesttables\par}
\pard\intbl\itap2 Two c\nestcell
\pard\intbl\itap2 Two d\nestcell{\*\nesttableprops\trowd\cellx1000\cellx2000\nestrow}{\nonesttables\par}
\pard\intbl Two after\cell
\pard\intbl Three\cell\row
\trowd\clmgf\cellx2000\clmrg\cellx4000\cellx6000
\pard\intbl Merged\cell\pard\intbl\cell\pard\intbl Last\cell\row
\pard After\par})";

struct TableCase {
    const char* name;
    QByteArray rtf;
    const char* outline;
};

std::vector<TableCase> tableCases()
{
    return {
        {"LibreOffice", fixture("libreoffice-tables.rtf"),
         "Before the table\n\t1.\tfirst item\n\t2.\tsecond item\n"
         "[0 0,0]A1\n[0 0,1]B1\n[0 0,2]C1\n"
         "[0 1,0 1x2]A2 spanning\n[0 1,2]C2 yellow\n"
         "[0 2,0]A3\n[0 2,1]B3 first\n[0 2,1]B3 second\n"
         "[0 2,2][1 0,0]inner 1\n[0 2,2][1 0,1]inner 2\n[0 2,2][1 1,0]inner 3\n[0 2,2][1 1,1]inner 4\n"
         "[0 2,2]C3 after inner\n"
         "After the table\n"},
        {"editor", fixture("editor-tables.rtf"),
         "Above\n\n"
         "[0 0,0]Name\n[0 0,1]Amount\n[0 0,2]Shaded\n"
         "[0 1,0 2x1]Tall\n[0 1,1 1x2]Wide first line\n[0 1,1 1x2]Wide second line\n"
         "[0 2,1 1x2]Holds a table:\n[0 2,1 1x2][1 0,0]x\n[0 2,1 1x2][1 0,1]y\n"
         "Below\n"},
        {"hand-made", HandMadeNestedTables,
         "[0 0,0]One\n[0 0,1][1 0,0]Two a\n[0 0,1][1 0,1][2 0,0]deep\n[0 0,1][1 1,0]Two c\n[0 0,1][1 1,1]Two d\n"
         "[0 0,1]Two after\n[0 0,2]Three\n"
         "[0 1,0 1x2]Merged\n[0 1,2]Last\n"
         "After\n"},
    };
}

const PLTextTableBlock& innermostBlock(const PLAttributedString& text, const char* needle)
{
    const PLTextAttributes& attributes = RichTextTest::attributesOf(text, QString::fromUtf8(needle));
    static const PLTextTableBlock none;
    if (!attributes.paragraphStyle || attributes.paragraphStyle->textBlocks.isEmpty()) {
        ADD_FAILURE() << needle << " is in no table";
        return none;
    }
    return attributes.paragraphStyle->textBlocks.last();
}

} // namespace

TEST(PLTextTableBlock, TablesReadWriteAndReadBack)
{
    for (const TableCase& c : tableCases()) {
        SCOPED_TRACE(c.name);
        PLError error;
        const std::optional<PLAttributedString> text = PLRTFReader::read(c.rtf, nullptr, &error);
        ASSERT_TRUE(text);
        EXPECT_FALSE(error) << error.failureReason().toStdString();
        EXPECT_EQ(tableOutline(*text), QString::fromUtf8(c.outline));

        const QByteArray written = PLRTFWriter::write(*text);
        const std::optional<PLAttributedString> back = PLRTFReader::read(written, nullptr, &error);
        ASSERT_TRUE(back);
        EXPECT_FALSE(error) << error.failureReason().toStdString();
        EXPECT_EQ(tableOutline(*back), tableOutline(*text)) << written.toStdString();
        // Every cell setting survives as well; only the tables are new objects.
        ASSERT_EQ(back->string(), text->string());
        for (int i = 0; i < text->length(); ++i) {
            const auto blocks = [](const PLAttributedString& t, int at) {
                const auto& style = t.attributesAt(at).paragraphStyle;
                return style ? style->textBlocks : QList<PLTextTableBlock>();
            };
            const QList<PLTextTableBlock> before = blocks(*text, i);
            const QList<PLTextTableBlock> after = blocks(*back, i);
            ASSERT_EQ(before.size(), after.size()) << i;
            for (int level = 0; level < before.size(); ++level) ASSERT_TRUE(before[level].sameCell(after[level])) << i;
        }
        // Plain text has one line per cell paragraph.
        EXPECT_EQ(PLRichTextFormat::plainText(*text), text->string());
    }
}

TEST(PLTextTableBlock, CellSettingsComeFromTheRowDefinitions)
{
    const PLAttributedString office = *PLRTFReader::read(fixture("libreoffice-tables.rtf"));
    EXPECT_EQ(innermostBlock(office, "C2 yellow").backgroundColor, QColor(255, 255, 0));
    EXPECT_FALSE(innermostBlock(office, "A1").backgroundColor);
    EXPECT_GT(innermostBlock(office, "A1").borderWidths[PLTextTableBlock::Top], 0);
    EXPECT_EQ(innermostBlock(office, "A2 spanning").width, 321.25);
    EXPECT_EQ(innermostBlock(office, "inner 1").table->numberOfColumns, 2);

    const PLAttributedString editor = *PLRTFReader::read(fixture("editor-tables.rtf"));
    const PLTextTableBlock& name = innermostBlock(editor, "Name");
    EXPECT_EQ(name.verticalAlignment, PLTextTableBlock::VerticalAlignment::Middle);
    EXPECT_EQ(name.borderWidths, (std::array<double, 4>{1, 1, 1, 1}));
    EXPECT_EQ(name.borderColors[PLTextTableBlock::Left], QColor(0, 0, 0));
    EXPECT_EQ(name.padding, (std::array<double, 4>{0, 5, 0, 5}));
    EXPECT_EQ(name.width, 149.4);
    const PLTextTableBlock& shaded = innermostBlock(editor, "Shaded");
    EXPECT_EQ(shaded.verticalAlignment, PLTextTableBlock::VerticalAlignment::Top);
    EXPECT_EQ(shaded.backgroundColor, QColor(255, 230, 153));
    EXPECT_EQ(shaded.table->numberOfColumns, 3);
    EXPECT_EQ(innermostBlock(editor, "Wide first").width, 288);
}

TEST(PLTextTableBlock, DamagedTablesKeepTheirText)
{
    const struct {
        const char* rtf;
        const char* outline;
    } cases[] = {
        // Cells without a row end, and a row without definitions.
        {R"({\rtf1 \pard\intbl a\cell b\cell})", "[0 0,0]a\n[0 0,1]b\n"},
        {R"({\rtf1 \intbl a\cell\row\pard c\par})", "[0 0,0]a\nc\n"},
        // A row end with text after the last cell mark makes that text a cell.
        {R"({\rtf1 \trowd\cellx100\cellx200\pard\intbl a\cell b\row})", "[0 0,0]a\n[0 0,1]b\n"},
        // Nested cells with no outer row, a nested row end outside any table, levels beyond reason.
        {R"({\rtf1 \pard\intbl\itap2 a\nestcell\nestrow\pard b\par})", "[0 0,0][1 0,0]a\nb\n"},
        {R"({\rtf1 a\nestrow b\row c})", "[0 0,0][1 0,0]a\n[0 0,0]b\nc\n"},
        {R"({\rtf1 \pard\intbl\itap99 a\cell\row})", "[0 0,0][1 0,0][2 0,0][3 0,0][4 0,0][5 0,0][6 0,0][7 0,0][8 0,0][9 0,0][10 0,0][11 0,0][12 0,0][13 0,0][14 0,0][15 0,0]a\n"},
        // A cell mark in hidden text still ends its cell.
        {R"({\rtf1 \pard\intbl {\v a\cell}b\cell\row})", "[0 0,0]\n[0 0,1]b\n"},
        // A merge with nothing to merge into, and a merged cell that holds text, stay cells.
        {R"({\rtf1 \trowd\clvmrg\cellx100\pard\intbl\cell\row})", "[0 0,0]\n"},
        {R"({\rtf1 \trowd\cellx100\clmrg\cellx200\pard\intbl a\cell b\cell\row})", "[0 0,0]a\n[0 0,1]b\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf);
        const std::optional<PLAttributedString> text = PLRTFReader::read(c.rtf);
        ASSERT_TRUE(text);
        EXPECT_EQ(tableOutline(*text), QString::fromUtf8(c.outline));
        const std::optional<PLAttributedString> back = PLRTFReader::read(PLRTFWriter::write(*text));
        ASSERT_TRUE(back);
        EXPECT_EQ(tableOutline(*back), tableOutline(*text));
    }
}

// What a word processor makes of the tables written here: the same cell texts, one line per
// cell paragraph. Runs only where LibreOffice is installed.
TEST(PLTextTableBlock, WrittenTablesOpenInLibreOffice)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QStringList files;
    std::vector<QStringList> expected;
    for (const TableCase& c : tableCases()) {
        const PLAttributedString text = *PLRTFReader::read(c.rtf);
        const QString path = folder.filePath(QString::fromLatin1(c.name) + QStringLiteral(".rtf"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(PLRTFWriter::write(text));
        file.close();
        files << path;
        QStringList cells;
        for (const QString& line : tableOutline(text).split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1Char('['))) cells << line.mid(line.lastIndexOf(QLatin1Char(']')) + 1).trimmed();
        expected.push_back(cells);
    }
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=file://") + folder.filePath(QStringLiteral("profile")),
                                       QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("txt:Text"),
                                       QStringLiteral("--outdir"), folder.path()}
                              + files);
    ASSERT_TRUE(process.waitForFinished(120000));
    for (qsizetype i = 0; i < files.size(); ++i) {
        QFile txt(QString(files[i]).replace(QLatin1String(".rtf"), QLatin1String(".txt")));
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly)) << txt.fileName().toStdString();
        QStringList lines;
        for (const QString& line : QString::fromUtf8(txt.readAll()).split(QLatin1Char('\n'))) lines << line.trimmed().remove(QChar(0xFEFF));
        // Every cell paragraph is a line of its own, in order.
        qsizetype at = 0;
        for (const QString& cell : expected[i]) {
            const qsizetype found = lines.indexOf(cell, at);
            EXPECT_GE(found, 0) << files[qsizetype(i)].toStdString() << ": " << cell.toStdString();
            if (found >= 0) at = found + 1;
        }
    }
}
