#include "Platform/Text/PLRTFWriter.h"

#include "Platform/Text/PLCodePage.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <vector>

namespace {

int twips(double points)
{
    const double value = std::round(points * 20.0);
    return int(std::clamp(value, double(-INT_MAX), double(INT_MAX)));
}

// What the RTF written so far has set, so that only changes are written.
struct EmittedState {
    int font = -1;
    int fontSize = 24;
    int fontSizeMilli = 0;
    bool bold = false;
    bool italic = false;
    int underline = 0;
    int underlineColor = 0;
    int strike = 0;
    int strikeColor = 0;
    int superscript = 0;
    int baseline = 0;
    int foreground = 0;
    int background = 0;
};

QByteArray underlineWord(int style)
{
    const int line = style & 0xFF;
    const int pattern = style & 0x700;
    const bool thick = line == PLTextAttributes::LineStyleThick;
    if (line == 0) return "\\ulnone";
    if (line == PLTextAttributes::LineStyleDouble) return "\\uldb";
    switch (pattern) {
    case PLTextAttributes::LinePatternDot: return thick ? "\\ulthd" : "\\uld";
    case PLTextAttributes::LinePatternDash: return thick ? "\\ulthdash" : "\\uldash";
    case PLTextAttributes::LinePatternDashDot: return thick ? "\\ulthdashd" : "\\uldashd";
    case PLTextAttributes::LinePatternDashDotDot: return thick ? "\\ulthdashdd" : "\\uldashdd";
    default: break;
    }
    if (thick) return "\\ulth";
    if (style & PLTextAttributes::LineByWord) return "\\ulw";
    return "\\ul";
}

// The underline style that the word written for a style reads back as.
int normalizedUnderline(int style)
{
    if ((style & 0xFF) == 0) return 0;
    const QByteArray word = underlineWord(style);
    static const QHash<QByteArray, int> values = {
        {"\\ul", 0x01},      {"\\uld", 0x101},       {"\\uldash", 0x201},     {"\\uldashd", 0x301},
        {"\\uldashdd", 0x401}, {"\\uldb", 0x09},     {"\\ulth", 0x02},        {"\\ulthd", 0x102},
        {"\\ulthdash", 0x202}, {"\\ulthdashd", 0x302}, {"\\ulthdashdd", 0x402}, {"\\ulw", 0x8001},
    };
    return values.value(word, 1);
}

QString familyClass(const QString& family)
{
    const QString f = family.toLower();
    if (f.contains(QLatin1String("courier")) || f.contains(QLatin1String("mono")) || f.contains(QLatin1String("menlo"))
        || f.contains(QLatin1String("monaco")) || f.contains(QLatin1String("consol")))
        return QStringLiteral("\\fmodern");
    if (f.contains(QLatin1String("times")) || f.contains(QLatin1String("serif")) || f.contains(QLatin1String("georgia"))
        || f.contains(QLatin1String("palatino")) || f.contains(QLatin1String("garamond")))
        return f.contains(QLatin1String("sans")) ? QStringLiteral("\\fswiss") : QStringLiteral("\\froman");
    if (f.contains(QLatin1String("arial")) || f.contains(QLatin1String("helvetica")) || f.contains(QLatin1String("sans"))
        || f.contains(QLatin1String("verdana")) || f.contains(QLatin1String("tahoma")) || f.contains(QLatin1String("lucida")))
        return QStringLiteral("\\fswiss");
    return QStringLiteral("\\fnil");
}

int levelNumberFormat(const QString& markerFormat)
{
    static const struct {
        const char* placeholder;
        int nfc;
    } table[] = {
        {"{decimal-leading-zero}", 22}, {"{decimal}", 0},      {"{upper-roman}", 1}, {"{lower-roman}", 2},
        {"{upper-alpha}", 3},           {"{upper-latin}", 3}, {"{lower-alpha}", 4}, {"{lower-latin}", 4},
    };
    for (const auto& entry : table)
        if (markerFormat.contains(QLatin1String(entry.placeholder))) return entry.nfc;
    return 23;
}

// The end of a list marker "\t<marker>\t" at the start of a paragraph, or -1.
// Where a list paragraph's marker ("\t<label>\t") ends, or -1 when the paragraph carries none
// that reads back the same from \listtext: readers trim the label, take it as plain text in
// one style, and keep at most a thousand characters of it.
int listMarkerEnd(const PLAttributedString& text, int start, int end)
{
    const QString& string = text.string();
    if (start >= end || string.at(start) != QLatin1Char('\t')) return -1;
    for (int i = start + 1; i < end; ++i) {
        const QChar c = string.at(i);
        if (c == QLatin1Char('\t')) {
            const QStringView label = QStringView(string).mid(start + 1, i - start - 1);
            if (label.isEmpty() || label.size() >= 1000 || label.trimmed().size() != label.size()) return -1;
            PLRange run;
            const PLTextAttributes& attributes = text.attributesAt(start, &run);
            if (attributes.link || run.location + run.length < i + 1) return -1;
            return i + 1;
        }
        if (c == QLatin1Char('\n') || c == QChar(PLAttributedString::AttachmentCharacter)) return -1;
    }
    return -1;
}

struct Paragraph {
    int start = 0;
    int end = 0; // after its "\n", if it has one
    bool terminated = false;
    PLParagraphStyle style;
};

// A cell of a row as it is written: its paragraphs, or an empty cell continuing one above.
struct Slot {
    size_t first = 0;
    size_t last = 0;
    PLTextTableBlock block;
    bool continuation = false;
};

// Rows of nothing but cells continuing cells above are written up to this many at a time.
constexpr int MaximumContinuationRows = 1000;

class Writer {
public:
    Writer(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes, QList<PLRTFWriter::File>* files)
        : m_text(text), m_documentAttributes(documentAttributes), m_files(files)
    {
    }

    QByteArray write();

private:
    void collectTables();
    int colorIndex(const std::optional<QColor>& color) const;
    void writeHeader();
    void writeListTable();
    void writeInfo();
    void writeDocumentWords();
    void writeParagraphStyle(const PLParagraphStyle& style);
    void writeRun(const PLTextAttributes& attributes, int start, int end);
    void writeRuns(int start, int end);
    void writeParagraphs(size_t first, size_t last, int depth);
    void writeParagraph(size_t index);
    void writeTable(size_t first, size_t last, int depth);
    void writeRowDefinition(const std::vector<Slot>& rowCells, const std::function<qint64(int)>& edgeAt);
    void writeRow(const std::vector<Slot>& rowCells, int depth, const std::function<qint64(int)>& edgeAt);
    void writeState(const PLTextAttributes& attributes);
    void writeText(QStringView text);
    void writeCharacter(char16_t c);
    void writeAttachment(const PLTextAttachmentPtr& attachment);
    void writeReference(const PLTextAttachmentPtr& attachment);
    void writePicture(const PLTextAttachmentPtr& attachment);
    void openLink(const QString& link);
    void closeLink();
    void word(const char* text) { m_out += text; m_needSpace = true; }
    void word(const char* text, int value);
    void raw(const char* text) { m_out += text; m_needSpace = false; }
    void raw(const QByteArray& text) { m_out += text; m_needSpace = false; }
    QString fileNameFor(const PLTextAttachmentPtr& attachment);

    const PLAttributedString& m_text;
    const PLDocumentAttributes& m_documentAttributes;
    QList<PLRTFWriter::File>* m_files;
    QByteArray m_out;
    bool m_needSpace = false;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QColor> m_colors;
    QList<QList<PLParagraphStyle::TextList>> m_lists;
    EmittedState m_state;
    bool m_linkOpen = false;
    QString m_openLink;
    EmittedState m_stateBeforeLink;
    QList<PLTextAttachmentPtr> m_fileAttachments;
    QSet<QString> m_usedNames;
    std::vector<Paragraph> m_paragraphs;
    std::vector<const char*> m_endWords; // per paragraph, the cell mark that ends it
    const char* m_paragraphEndWord = nullptr;
    bool m_inListLabel = false;
    std::optional<PLParagraphStyle> m_previousStyle;
};

void Writer::word(const char* text, int value)
{
    m_out += text;
    m_out += QByteArray::number(value);
    m_needSpace = true;
}

void Writer::collectTables()
{
    for (int run = 0; run < m_text.runCount(); ++run) {
        const PLTextAttributes& a = m_text.runAttributes(run);
        if (a.font && !a.font->family.isEmpty() && !m_fontIndex.contains(a.font->family)) {
            m_fontIndex.insert(a.font->family, int(m_fonts.size()));
            m_fonts.append(a.font->family);
        }
        for (const std::optional<QColor>* color : {&a.foregroundColor, &a.backgroundColor, &a.underlineColor, &a.strikethroughColor}) {
            if (*color && !m_colors.contains(**color)) m_colors.append(**color);
        }
        if (a.paragraphStyle && !a.paragraphStyle->textLists.isEmpty() && !m_lists.contains(a.paragraphStyle->textLists))
            m_lists.append(a.paragraphStyle->textLists.mid(0, 9));
        if (!a.paragraphStyle) continue;
        for (const PLTextTableBlock& block : a.paragraphStyle->textBlocks) {
            for (const std::optional<QColor>* color : {&block.backgroundColor, &block.borderColors[0], &block.borderColors[1],
                                                       &block.borderColors[2], &block.borderColors[3]})
                if (*color && !m_colors.contains(**color)) m_colors.append(**color);
        }
    }
}

int Writer::colorIndex(const std::optional<QColor>& color) const
{
    return color ? int(m_colors.indexOf(*color)) + 1 : 0;
}

void Writer::writeHeader()
{
    raw("{\\rtf1\\ansi\\ansicpg1252\n");
    raw("{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        word("\\f", i);
        raw(familyClass(m_fonts[i]).toLatin1());
        word("\\fcharset0");
        QString name = m_fonts[i];
        name.remove(QLatin1Char(';'));
        writeText(name);
        raw(";");
    }
    raw("}\n{\\colortbl;");
    for (const QColor& color : m_colors) {
        const QColor rgb = color.toRgb();
        m_out += "\\red" + QByteArray::number(rgb.red()) + "\\green" + QByteArray::number(rgb.green()) + "\\blue"
            + QByteArray::number(rgb.blue()) + ';';
    }
    raw("}\n");
    if (!m_colors.isEmpty()) {
        // The exact components and alpha, which the 8-bit table cannot hold.
        raw("{\\*\\expandedcolortbl;");
        for (const QColor& color : m_colors) {
            const QColor rgb = color.toRgb();
            const auto c = [](double v) { return QByteArray::number(std::lround(std::clamp(v, 0.0, 1.0) * 100000)); };
            m_out += "\\cssrgb\\c" + c(rgb.redF()) + "\\c" + c(rgb.greenF()) + "\\c" + c(rgb.blueF());
            if (rgb.alphaF() < 1.0) m_out += "\\c" + c(rgb.alphaF());
            m_out += ';';
        }
        raw("}\n");
    }
    writeListTable();
    writeInfo();
    writeDocumentWords();
}

void Writer::writeListTable()
{
    if (m_lists.isEmpty()) return;
    raw("{\\*\\listtable");
    for (int i = 0; i < m_lists.size(); ++i) {
        const QList<PLParagraphStyle::TextList>& levels = m_lists[i];
        word("{\\list\\listtemplateid", i + 1);
        word("\\listhybrid");
        for (int level = 0; level < levels.size(); ++level) {
            const PLParagraphStyle::TextList& list = levels[level];
            const int nfc = levelNumberFormat(list.markerFormat);
            word("{\\listlevel\\levelnfc", nfc);
            word("\\levelnfcn", nfc);
            word("\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat", list.startingItemNumber);
            word("\\levelspace360\\levelindent0");
            raw("{\\*\\levelmarker ");
            writeText(list.markerFormat);
            raw("}");
            // The level text as word processors read it: its length, then the marker with
            // the item number as a placeholder byte.
            QString prefix, suffix;
            QString body;
            if (nfc == 23) {
                body = list.marker(1);
            } else {
                const int open = int(list.markerFormat.indexOf(QLatin1Char('{')));
                const int close = int(list.markerFormat.indexOf(QLatin1Char('}'), open));
                prefix = list.markerFormat.left(open);
                suffix = close >= 0 ? list.markerFormat.mid(close + 1) : QString();
            }
            word("{\\leveltext\\leveltemplateid", (i + 1) * 100 + level + 1);
            if (nfc == 23) {
                m_out += "\\'" + QByteArray::number(std::min<qsizetype>(body.size(), 255), 16).rightJustified(2, '0');
                m_needSpace = false;
                writeText(body.left(255));
            } else {
                const qsizetype length = std::min<qsizetype>(prefix.size() + 1 + suffix.size(), 255);
                m_out += "\\'" + QByteArray::number(length, 16).rightJustified(2, '0');
                m_needSpace = false;
                writeText(prefix);
                m_out += "\\'" + QByteArray::number(level, 16).rightJustified(2, '0');
                m_needSpace = false;
                writeText(suffix);
            }
            raw(";}{\\levelnumbers");
            if (nfc != 23) m_out += "\\'" + QByteArray::number(prefix.size() + 1, 16).rightJustified(2, '0');
            raw(";}");
            word("\\fi", -360);
            word("\\li", 720 * (level + 1));
            word("\\lin", 720 * (level + 1));
            raw(" }");
        }
        raw("{\\listname ;}");
        word("\\listid", i + 1);
        raw("}");
    }
    raw("}\n{\\*\\listoverridetable");
    for (int i = 0; i < m_lists.size(); ++i) {
        word("{\\listoverride\\listid", i + 1);
        word("\\listoverridecount0\\ls", i + 1);
        raw("}");
    }
    raw("}\n");
}

void Writer::writeInfo()
{
    static const char* const keys[] = {"title", "subject", "author", "manager", "company", "operator", "category",
                                       "keywords", "comment", "doccomm", "hlinkbase"};
    QByteArray info;
    const QByteArray saved = m_out;
    m_out.clear();
    for (const char* key : keys) {
        const auto it = m_documentAttributes.info.constFind(QLatin1String(key));
        if (it == m_documentAttributes.info.cend()) continue;
        raw(qstrcmp(key, "company") == 0 ? "{\\*\\" : "{\\");
        word(key);
        writeText(*it);
        raw("}");
    }
    const auto writeTime = [&](const char* key, const std::optional<QDateTime>& time) {
        if (!time || !time->isValid()) return;
        const QDate d = time->date();
        const QTime t = time->time();
        raw("{\\");
        word(key);
        word("\\yr", d.year());
        word("\\mo", d.month());
        word("\\dy", d.day());
        word("\\hr", t.hour());
        word("\\min", t.minute());
        word("\\sec", t.second());
        raw("}");
    };
    writeTime("creatim", m_documentAttributes.creationTime);
    writeTime("revtim", m_documentAttributes.modificationTime);
    info = m_out;
    m_out = saved;
    if (!info.isEmpty()) {
        raw("{\\info");
        raw(info);
        raw("}\n");
    }
}

void Writer::writeDocumentWords()
{
    const PLDocumentAttributes& d = m_documentAttributes;
    if (d.paperSize) {
        word("\\paperw", twips(d.paperSize->width()));
        word("\\paperh", twips(d.paperSize->height()));
    }
    if (d.leftMargin) word("\\margl", twips(*d.leftMargin));
    if (d.rightMargin) word("\\margr", twips(*d.rightMargin));
    if (d.topMargin) word("\\margt", twips(*d.topMargin));
    if (d.bottomMargin) word("\\margb", twips(*d.bottomMargin));
    if (d.landscape) word(*d.landscape ? "\\landscape" : "\\landscape0");
    if (d.viewSize) {
        word("\\vieww", twips(d.viewSize->width()));
        word("\\viewh", twips(d.viewSize->height()));
    }
    if (d.viewMode) word("\\viewkind", int(*d.viewMode));
    if (d.viewZoom) word("\\viewscale", *d.viewZoom);
    if (d.defaultTabInterval) word("\\deftab", twips(*d.defaultTabInterval));
    if (d.readOnly) word("\\readonlydoc", *d.readOnly ? 1 : 0);
    if (d.hyphenationFactor) {
        word("\\hyphauto1\\hyphfactor", int(std::lround(std::clamp(*d.hyphenationFactor, 0.0, 1.0) * 100)));
    }
    if (d.backgroundColor) {
        const QColor c = d.backgroundColor->toRgb();
        raw("\n{\\*\\background {\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv ");
        m_out += QByteArray::number(c.red() | c.green() << 8 | c.blue() << 16);
        raw("}}{\\sp{\\sn fFilled}{\\sv 1}}{\\sp{\\sn fBackground}{\\sv 1}}}}}\\viewbksp1");
        m_needSpace = true;
    }
    raw("\n");
}

void Writer::writeParagraphStyle(const PLParagraphStyle& style)
{
    word("\\pard");
    for (const PLParagraphStyle::TabStop& tab : style.tabStops) {
        switch (tab.kind) {
        case PLParagraphStyle::TabStop::Kind::Right: word("\\tqr"); break;
        case PLParagraphStyle::TabStop::Kind::Center: word("\\tqc"); break;
        case PLParagraphStyle::TabStop::Kind::Decimal: word("\\tqdec"); break;
        case PLParagraphStyle::TabStop::Kind::Left: break;
        }
        word("\\tx", twips(tab.location));
    }
    if (style.leftIndent != 0) word("\\li", twips(style.leftIndent));
    if (style.firstLineIndent != style.leftIndent) {
        const qint64 first = qint64(twips(style.firstLineIndent)) - twips(style.leftIndent);
        word("\\fi", int(std::clamp<qint64>(first, -INT_MAX, INT_MAX)));
    }
    if (style.rightIndent != 0) word("\\ri", twips(style.rightIndent));
    if (style.spacingBefore != 0) word("\\sb", twips(style.spacingBefore));
    if (style.spacingAfter != 0) word("\\sa", twips(style.spacingAfter));
    if (style.lineHeightMultiple > 0) {
        word("\\sl", int(std::lround(style.lineHeightMultiple * 240)));
        word("\\slmult1");
        if (style.minimumLineHeight > 0) word("\\slminimum", twips(style.minimumLineHeight));
        if (style.maximumLineHeight > 0) word("\\slmaximum", twips(style.maximumLineHeight));
    } else if (style.minimumLineHeight > 0 && style.minimumLineHeight == style.maximumLineHeight) {
        word("\\sl", -twips(style.minimumLineHeight));
        word("\\slmult0");
    } else {
        if (style.minimumLineHeight > 0) {
            word("\\sl", twips(style.minimumLineHeight));
            word("\\slmult0");
        }
        if (style.maximumLineHeight > 0) word("\\slmaximum", twips(style.maximumLineHeight));
    }
    if (style.lineSpacing != 0) word("\\slleading", twips(style.lineSpacing));
    switch (style.alignment) {
    case PLParagraphStyle::Alignment::Left: word("\\ql"); break;
    case PLParagraphStyle::Alignment::Right: word("\\qr"); break;
    case PLParagraphStyle::Alignment::Center: word("\\qc"); break;
    case PLParagraphStyle::Alignment::Justified: word("\\qj"); break;
    case PLParagraphStyle::Alignment::Natural: break;
    }
    switch (style.writingDirection) {
    case PLParagraphStyle::WritingDirection::Natural: word("\\pardirnatural"); break;
    case PLParagraphStyle::WritingDirection::LeftToRight: word("\\ltrpar"); break;
    case PLParagraphStyle::WritingDirection::RightToLeft: word("\\rtlpar"); break;
    }
    if (style.defaultTabInterval > 0) word("\\pardeftab", twips(style.defaultTabInterval));
    if (!style.textLists.isEmpty()) {
        word("\\ls", int(m_lists.indexOf(style.textLists.mid(0, 9))) + 1);
        word("\\ilvl", int(std::min<qsizetype>(style.textLists.size(), 9)) - 1);
    }
    if (!style.textBlocks.isEmpty()) {
        word("\\intbl");
        word("\\itap", int(style.textBlocks.size()));
    }
    raw("\n");
}

void Writer::writeState(const PLTextAttributes& a)
{
    EmittedState want;
    if (a.font) {
        want.font = a.font->family.isEmpty() ? -1 : m_fontIndex.value(a.font->family, -1);
        const double size = std::clamp(a.font->pointSize, 0.5, 16383.5); // what \fs can hold
        want.fontSize = int(std::lround(size * 2));
        if (std::abs(size * 2 - want.fontSize) > 1e-6) want.fontSizeMilli = int(std::lround(size * 1000));
        want.bold = a.font->bold;
        want.italic = a.font->italic;
    }
    want.foreground = colorIndex(a.foregroundColor);
    want.background = colorIndex(a.backgroundColor);
    if (a.underlineStyle && (*a.underlineStyle & 0xFF)) {
        want.underline = normalizedUnderline(*a.underlineStyle);
        want.underlineColor = colorIndex(a.underlineColor);
    }
    if (a.strikethroughStyle && (*a.strikethroughStyle & 0xFF)) {
        want.strike = (*a.strikethroughStyle & 0xFF) == PLTextAttributes::LineStyleDouble ? PLTextAttributes::LineStyleDouble
                                                                                         : PLTextAttributes::LineStyleSingle;
        want.strikeColor = colorIndex(a.strikethroughColor);
    }
    want.superscript = a.superscript.value_or(0);
    want.baseline = a.baselineOffset ? int(std::lround(std::clamp(*a.baselineOffset, -16383.5, 16383.5) * 2)) : 0;

    EmittedState& cur = m_state;
    if (want.font < 0 && cur.font >= 0) {
        // No control word takes a font away; \plain resets everything instead.
        word("\\plain");
        cur = EmittedState();
    }
    if (want.font != cur.font) word("\\f", want.font);
    if (want.fontSize != cur.fontSize) {
        word("\\fs", want.fontSize);
        cur.fontSizeMilli = 0;
    }
    if (want.fontSizeMilli != cur.fontSizeMilli) {
        if (want.fontSizeMilli == 0)
            word("\\fs", want.fontSize);
        else
            word("\\fsmilli", want.fontSizeMilli);
    }
    if (want.bold != cur.bold) word(want.bold ? "\\b" : "\\b0");
    if (want.italic != cur.italic) word(want.italic ? "\\i" : "\\i0");
    if (want.foreground != cur.foreground) word("\\cf", want.foreground);
    if (want.background != cur.background) {
        // \cb for readers of this form, \chcbpat for word processors.
        word("\\cb", want.background);
        word("\\chcbpat", want.background);
    }
    if (want.underline != cur.underline) word(underlineWord(want.underline).constData());
    if (want.underline && want.underlineColor != cur.underlineColor) word("\\ulc", want.underlineColor);
    else if (!want.underline) want.underlineColor = cur.underlineColor;
    if (want.strike != cur.strike) {
        if (want.strike == PLTextAttributes::LineStyleDouble) word("\\striked1");
        else if (want.strike) word(cur.strike == PLTextAttributes::LineStyleDouble ? "\\striked0\\strike" : "\\strike");
        else word(cur.strike == PLTextAttributes::LineStyleDouble ? "\\striked0" : "\\strike0");
    }
    if (want.strike && want.strikeColor != cur.strikeColor) word("\\strikec", want.strikeColor);
    else if (!want.strike) want.strikeColor = cur.strikeColor;
    if (want.superscript != cur.superscript) {
        if (want.superscript == 0) word("\\nosupersub");
        else if (want.superscript == 1) word("\\super");
        else if (want.superscript == -1) word("\\sub");
        else if (want.superscript > 0) word("\\super", want.superscript);
        else word("\\sub", -want.superscript);
    }
    if (want.baseline != cur.baseline) {
        if (want.baseline >= 0) word("\\up", want.baseline);
        else word("\\dn", -want.baseline);
    }
    cur = want;
}

void Writer::writeCharacter(char16_t c)
{
    if (c >= 0x20 && c < 0x7F) {
        if (c == '\\' || c == '{' || c == '}') {
            m_out += '\\';
            m_out += char(c);
            m_needSpace = false;
            return;
        }
        if (m_needSpace) m_out += ' ';
        m_out += char(c);
        m_needSpace = false;
        return;
    }
    switch (c) {
    case '\n':
        if (m_paragraphEndWord) {
            word(m_paragraphEndWord);
            m_paragraphEndWord = nullptr;
            return;
        }
        raw("\\\n");
        return;
    case '\t': word("\\tab"); return;
    case 0x2028: word("\\line"); return;
    case 0x000C: word("\\page"); return;
    default: break;
    }
    const int byte = c >= 0x80 ? PLCodePage::encode1252(c) : -1;
    if (byte >= 0) {
        m_out += "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
        m_needSpace = false;
        return;
    }
    word("\\uc0\\u", c >= 0x8000 ? int(c) - 0x10000 : int(c));
}

void Writer::writeText(QStringView text)
{
    for (QChar c : text) writeCharacter(c.unicode());
}

void Writer::openLink(const QString& link)
{
    m_stateBeforeLink = m_state;
    raw("{\\field{\\*\\fldinst{HYPERLINK \"");
    QString escaped = link;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    // Line and paragraph breaks in a target are characters of it, never the text's own breaks
    // (nor a table cell's end mark that a paragraph break stands for).
    for (QChar c : escaped) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x2028)
            word("\\uc0\\u", int(u));
        else
            writeCharacter(u);
    }
    raw("\"}}{\\fldrslt ");
    m_linkOpen = true;
    m_openLink = link;
}

void Writer::closeLink()
{
    if (!m_linkOpen) return;
    raw("}}");
    m_state = m_stateBeforeLink;
    m_linkOpen = false;
}

QString Writer::fileNameFor(const PLTextAttachmentPtr& attachment)
{
    for (int i = 0; i < m_fileAttachments.size(); ++i) {
        // One file serves every attachment of that name and bytes, whatever size it is shown at.
        const PLTextAttachment& known = *m_fileAttachments[i];
        if (m_fileAttachments[i] == attachment
            || (known.fileName() == attachment->fileName() && known.contents() == attachment->contents()))
            return m_files->at(i).name;
    }
    const QString name = PLTextAttachment::safeFileName(attachment->fileName());
    const QString base = name.section(QLatin1Char('.'), 0, 0);
    const QString extension = name.contains(QLatin1Char('.')) ? QLatin1Char('.') + name.section(QLatin1Char('.'), 1) : QString();
    QString candidate = name;
    for (int n = 2; m_usedNames.contains(candidate.toLower()) || candidate.compare(QLatin1String("TXT.rtf"), Qt::CaseInsensitive) == 0; ++n)
        candidate = QStringLiteral("%1 %2%3").arg(base).arg(n).arg(extension);
    m_usedNames.insert(candidate.toLower());
    m_fileAttachments.append(attachment);
    m_files->append({candidate, attachment->contents()});
    return candidate;
}

void Writer::writeReference(const PLTextAttachmentPtr& attachment)
{
    const QString name = fileNameFor(attachment);
    const QSizeF size = attachment->size();
    raw("{{\\NeXTGraphic ");
    writeText(name);
    m_needSpace = false;
    raw(" ");
    word("\\width", size.isEmpty() ? 0 : twips(size.width()));
    raw(" ");
    word("\\height", size.isEmpty() ? 0 : twips(size.height()));
    raw("\n}\xAC}");
}

// The blip word for picture bytes that are written as they are, judged by their first bytes
// and then by the file name; empty when RTF has no word for them.
QByteArray rawBlip(const PLTextAttachment& attachment, QByteArray* bytes)
{
    const QString name = attachment.fileName().toLower();
    const QByteArray& contents = attachment.contents();
    if (contents.startsWith("\x89PNG") || name.endsWith(QLatin1String(".png"))) return "\\pngblip";
    if (contents.startsWith("\xFF\xD8\xFF") || name.endsWith(QLatin1String(".jpg")) || name.endsWith(QLatin1String(".jpeg")))
        return "\\jpegblip";
    if (contents.startsWith("BM") && contents.size() > 14) {
        *bytes = contents.mid(14); // the bitmap without its file header, as RTF holds it
        return "\\dibitmap0";
    }
    if (name.endsWith(QLatin1String(".emf"))) return "\\emfblip";
    if (name.endsWith(QLatin1String(".wmf"))) return "\\wmetafile8";
    if (name.endsWith(QLatin1String(".pict")) || name.endsWith(QLatin1String(".pct"))) return "\\macpict";
    return {};
}

void Writer::writePicture(const PLTextAttachmentPtr& attachment)
{
    QByteArray bytes = attachment->contents();
    const QImage image = attachment->image();
    QByteArray blip;
    if (!image.isNull()) {
        const QByteArray format = attachment->imageFormat();
        if (format == "jpeg" || format == "jpg") {
            blip = "\\jpegblip";
        } else if (format == "png") {
            blip = "\\pngblip";
        } else {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            bytes = buffer.data();
            blip = "\\pngblip";
        }
    } else if (!bytes.isEmpty()) {
        // Bytes that do not decode here may still show elsewhere: they go as they are.
        blip = rawBlip(*attachment, &bytes);
    }
    if (blip.isEmpty()) {
        // RTF has no place for the file: its place and name are kept as a reference.
        raw("{\\*\\NeXTGraphic ");
        writeText(attachment->fileName());
        m_needSpace = false;
        raw(" ");
        const QSizeF size = attachment->displaySize();
        word("\\width", size.isEmpty() ? 0 : twips(size.width()));
        raw(" ");
        word("\\height", size.isEmpty() ? 0 : twips(size.height()));
        raw("}");
        return;
    }
    const QSizeF size = attachment->size();
    raw("{\\pict{\\*\\picprop{\\sp{\\sn wzName}{\\sv ");
    writeText(attachment->fileName());
    raw("}}}");
    word("\\picscalex100\\picscaley100");
    if (!image.isNull()) {
        word("\\picw", image.width());
        word("\\pich", image.height());
    }
    if (!size.isEmpty()) {
        word("\\picwgoal", twips(size.width()));
        word("\\pichgoal", twips(size.height()));
    }
    raw(blip);
    static const char digits[] = "0123456789abcdef";
    QByteArray hex;
    hex.reserve(bytes.size() * 2 + bytes.size() / 64 + 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i % 64 == 0) hex += '\n';
        const auto b = static_cast<unsigned char>(bytes[i]);
        hex += digits[b >> 4];
        hex += digits[b & 0xF];
    }
    m_out += hex;
    raw("}");
}

void Writer::writeAttachment(const PLTextAttachmentPtr& attachment)
{
    if (m_files)
        writeReference(attachment);
    else
        writePicture(attachment);
}

void Writer::writeRun(const PLTextAttributes& attributes, int start, int end)
{
    const QString& string = m_text.string();
    const QString link = attributes.link.value_or(QString());
    if (m_linkOpen && link != m_openLink) closeLink();
    writeState(attributes);
    if (!m_linkOpen && !link.isEmpty() && !m_inListLabel) openLink(link);
    for (int i = start; i < end; ++i) {
        const char16_t c = string.at(i).unicode();
        if (c == PLAttributedString::AttachmentCharacter && attributes.attachment)
            writeAttachment(attributes.attachment);
        else
            writeCharacter(c);
    }
}

QByteArray Writer::write()
{
    collectTables();
    writeHeader();
    const QString& string = m_text.string();
    const int length = m_text.length();
    int start = 0;
    while (start < length) {
        int end = int(string.indexOf(QLatin1Char('\n'), start));
        const bool terminated = end >= 0;
        end = terminated ? end + 1 : length;
        Paragraph paragraph{start, end, terminated, m_text.attributesAt(start).paragraphStyle.value_or(PLParagraphStyle())};
        paragraph.style.textBlocks = paragraph.style.textBlocks.mid(0, PLTextTableBlock::MaximumNesting);
        for (const PLTextTableBlock& block : paragraph.style.textBlocks) {
            if (!block.table) { // a cell of no table is no cell
                paragraph.style.textBlocks.clear();
                break;
            }
        }
        m_paragraphs.push_back(paragraph);
        start = end;
    }
    m_endWords.assign(m_paragraphs.size(), nullptr);
    writeParagraphs(0, m_paragraphs.size(), 0);
    closeLink();
    raw("}");
    return m_out;
}

void Writer::writeParagraphs(size_t first, size_t last, int depth)
{
    size_t i = first;
    while (i < last) {
        const QList<PLTextTableBlock>& blocks = m_paragraphs[i].style.textBlocks;
        if (blocks.size() <= depth) {
            writeParagraph(i);
            ++i;
            continue;
        }
        const PLTextTable* table = blocks[depth].table.get();
        size_t end = i + 1;
        while (end < last && m_paragraphs[end].style.textBlocks.size() > depth
               && m_paragraphs[end].style.textBlocks[depth].table.get() == table)
            ++end;
        writeTable(i, end, depth);
        i = end;
    }
}

void Writer::writeParagraph(size_t index)
{
    const Paragraph& paragraph = m_paragraphs[index];
    const PLParagraphStyle& style = paragraph.style;
    if (!m_previousStyle || !(*m_previousStyle == style)) {
        // Paragraph formatting is kept per group: a link's field ends before it changes.
        closeLink();
        writeParagraphStyle(style);
        m_previousStyle = style;
    }
    int textStart = paragraph.start;
    const int markerEnd = style.textLists.isEmpty() ? -1 : listMarkerEnd(m_text, paragraph.start, paragraph.end);
    if (markerEnd > paragraph.start) {
        // The marker that the text carries goes into \listtext, which readers that number
        // lists themselves leave out.
        closeLink();
        const EmittedState outside = m_state;
        raw("{\\listtext");
        m_needSpace = true;
        m_inListLabel = true; // labels are plain text to readers
        writeRuns(paragraph.start, markerEnd);
        m_inListLabel = false;
        closeLink();
        raw("}");
        m_state = outside;
        textStart = markerEnd;
    }
    // The last paragraph of a cell ends with the cell's mark in place of its own.
    m_paragraphEndWord = m_endWords[index];
    writeRuns(textStart, paragraph.end);
    if (m_paragraphEndWord) word(m_paragraphEndWord);
    m_paragraphEndWord = nullptr;
}

void Writer::writeTable(size_t first, size_t last, int depth)
{
    const auto blockOf = [&](size_t i) -> const PLTextTableBlock& { return m_paragraphs[i].style.textBlocks[depth]; };
    const int columns = std::clamp(blockOf(first).table->numberOfColumns, 1, PLTextTable::MaximumColumns);
    // Column edges in twips, from the widths of the cells that span one column.
    std::vector<qint64> widths(size_t(columns), 0);
    const QList<double>& known = blockOf(first).table->columnWidths;
    for (qsizetype column = 0; column < known.size() && column < columns; ++column)
        if (known[column] > 0) widths[size_t(column)] = twips(known[column]);
    for (size_t i = first; i < last; ++i) {
        const PLTextTableBlock& block = blockOf(i);
        if (block.columnSpan == 1 && block.width > 0 && block.column >= 0 && block.column < columns)
            if (widths[size_t(block.column)] == 0) widths[size_t(block.column)] = twips(block.width);
    }
    std::vector<qint64> edges{twips(blockOf(first).table->leftEdge)};
    for (qint64 width : widths) edges.push_back(edges.back() + (width > 0 ? width : 9360 / columns / (depth + 1) + 1));
    const auto edgeAt = [&](int column) { return edges[size_t(std::clamp(column, 0, columns))]; };

    std::vector<PLTextTableBlock> spanning;
    // Rows that hold nothing but cells continuing cells above still are rows.
    const auto writeContinuationRows = [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            std::vector<Slot> rowCells;
            for (const PLTextTableBlock& above : spanning)
                if (above.row < row && row < above.row + above.rowSpan) rowCells.push_back({0, 0, above, true});
            std::sort(rowCells.begin(), rowCells.end(), [](const Slot& a, const Slot& b) { return a.block.column < b.block.column; });
            if (!rowCells.empty()) writeRow(rowCells, depth, edgeAt);
        }
    };
    size_t rowStart = first;
    int previousRow = blockOf(first).row - 1;
    while (rowStart < last) {
        const int row = blockOf(rowStart).row;
        size_t rowEnd = rowStart + 1;
        while (rowEnd < last && blockOf(rowEnd).row == row) ++rowEnd;
        if (row > previousRow + 1) writeContinuationRows(previousRow + 1, std::min(row, previousRow + 1 + MaximumContinuationRows));
        std::vector<Slot> rowCells;
        for (size_t i = rowStart; i < rowEnd; ++i) {
            if (rowCells.empty() || !(rowCells.back().block == blockOf(i)))
                rowCells.push_back({i, i + 1, blockOf(i), false});
            else
                rowCells.back().last = i + 1;
        }
        bool ordered = true;
        int reached = 0;
        for (const Slot& slot : rowCells) {
            ordered = ordered && slot.block.column >= reached;
            reached = slot.block.column + std::max(1, slot.block.columnSpan);
        }
        if (ordered) {
            // Cells from rows above that reach into this row get the cells that continue them.
            for (const PLTextTableBlock& above : spanning) {
                if (!(above.row < row && row < above.row + above.rowSpan)) continue;
                const auto at = std::find_if(rowCells.begin(), rowCells.end(), [&](const Slot& s) { return s.block.column >= above.column; });
                if (at != rowCells.end() && at->block.column < above.column + std::max(1, above.columnSpan)) continue;
                if (at != rowCells.begin() && std::prev(at)->block.column + std::max(1, std::prev(at)->block.columnSpan) > above.column)
                    continue;
                rowCells.insert(at, {0, 0, above, true});
            }
        }
        for (const Slot& slot : rowCells)
            if (!slot.continuation && slot.block.rowSpan > 1) spanning.push_back(slot.block);
        writeRow(rowCells, depth, edgeAt);
        previousRow = row;
        rowStart = rowEnd;
    }
    int spanEnd = previousRow + 1;
    for (const PLTextTableBlock& above : spanning) spanEnd = std::max(spanEnd, above.row + above.rowSpan);
    writeContinuationRows(previousRow + 1, std::min(spanEnd, previousRow + 1 + MaximumContinuationRows));
}

void Writer::writeRow(const std::vector<Slot>& rowCells, int depth, const std::function<qint64(int)>& edgeAt)
{
    const char* cellWord = depth == 0 ? "\\cell" : "\\nestcell";
    closeLink();
    if (depth == 0) writeRowDefinition(rowCells, edgeAt);
    for (const Slot& slot : rowCells) {
        const int innerDepth = depth + 1;
        if (!slot.continuation && m_paragraphs[slot.last - 1].style.textBlocks.size() == innerDepth) {
            m_endWords[slot.last - 1] = cellWord;
            writeParagraphs(slot.first, slot.last, innerDepth);
            continue;
        }
        if (!slot.continuation) writeParagraphs(slot.first, slot.last, innerDepth);
        // An empty paragraph ends a cell that continues one above, or one that ends
        // with a nested table.
        closeLink();
        word("\\pard\\intbl\\itap", innerDepth);
        word(cellWord);
        m_previousStyle.reset();
    }
    closeLink();
    if (depth == 0) {
        word("\\row");
    } else {
        raw("{\\*\\nesttableprops");
        writeRowDefinition(rowCells, edgeAt);
        word("\\nestrow");
        raw("}{\\nonesttables\\par}\n");
    }
    m_previousStyle.reset();
}

void Writer::writeRowDefinition(const std::vector<Slot>& rowCells, const std::function<qint64(int)>& edgeAt)
{
    if (rowCells.empty()) return;
    static const char* const borderWords[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
    static const char* const paddingWords[] = {"\\clpadt", "\\clpadl", "\\clpadb", "\\clpadr"};
    static const char* const paddingUnitWords[] = {"\\clpadft3", "\\clpadfl3", "\\clpadfb3", "\\clpadfr3"};
    const auto clampedWord = [&](const char* text, qint64 value) { word(text, int(std::clamp<qint64>(value, -INT_MAX, INT_MAX))); };
    qint64 left = edgeAt(rowCells.front().block.column);
    word("\\trowd");
    clampedWord("\\trleft", left);
    for (const Slot& slot : rowCells) {
        const PLTextTableBlock& block = slot.block;
        if (slot.continuation) word("\\clvmrg");
        else if (block.rowSpan > 1) word("\\clvmgf");
        if (block.verticalAlignment == PLTextTableBlock::VerticalAlignment::Middle) word("\\clvertalc");
        else if (block.verticalAlignment == PLTextTableBlock::VerticalAlignment::Bottom) word("\\clvertalb");
        for (int edge = 0; edge < 4; ++edge) {
            const double width = block.borderWidths[size_t(edge)];
            if (width > 0) {
                word(borderWords[edge]);
                word("\\brdrs\\brdrw", std::clamp(twips(width), 1, 255));
                if (block.borderColors[size_t(edge)]) word("\\brdrcf", colorIndex(block.borderColors[size_t(edge)]));
            }
            if (block.padding[size_t(edge)] > 0) {
                word(paddingWords[edge], std::clamp(twips(block.padding[size_t(edge)]), 0, 31680));
                word(paddingUnitWords[edge]);
            }
        }
        if (block.backgroundColor) word("\\clcbpat", colorIndex(block.backgroundColor));
        if (block.width <= 0) word("\\clftsWidth1"); // no width of its own
        const qint64 right = block.width > 0 ? left + twips(block.width)
                                             : std::max(left + 1, edgeAt(block.column + std::max(1, block.columnSpan)));
        clampedWord("\\cellx", right);
        left = right;
    }
    raw("\n");
}

void Writer::writeRuns(int start, int end)
{
    int index = start;
    while (index < end) {
            PLRange run;
            const PLTextAttributes& attributes = m_text.attributesAt(index, &run);
            const int runEnd = std::min(run.end(), end);
        writeRun(attributes, index, runEnd);
        index = runEnd;
    }
}

} // namespace

QByteArray PLRTFWriter::write(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes)
{
    return Writer(text, documentAttributes, nullptr).write();
}

QByteArray PLRTFWriter::writeWithReferences(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes,
                                            QList<File>* files)
{
    QList<File> collected;
    QByteArray rtf = Writer(text, documentAttributes, &collected).write();
    if (files) *files = std::move(collected);
    return rtf;
}
