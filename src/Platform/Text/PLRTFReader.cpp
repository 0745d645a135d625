#include "Platform/Text/PLRTFReader.h"

#include "Platform/Text/PLCodePage.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <utility>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// What the text of a group is, and so where its characters go.
enum class Dest : unsigned char {
    Text,              // document text
    Ignore,            // a group whose text is dropped but whose control words still count
    FontTable,
    ColorTable,
    ExpandedColorTable,
    Info,
    InfoText,
    InfoTime,
    Pict,
    FieldInst,
    NeXTGraphic,
    ListTable,
    List,
    ListLevel,
    LevelText,
    LevelMarker,
    ListOverrideTable,
    ListOverride,
    ShapeGroup,        // groups holding shape properties ({\sp{\sn name}{\sv value}})
    ShapeProperty,
    ShapePropertyName,
    ShapePropertyValue,
    ListText,          // the label of a list item as the writer shows it
};

// What shape properties are read for.
enum class ShapePurpose : unsigned char { None, Background, Picture };

enum class Kw : unsigned char {
    // destinations
    FontTable, ColorTable, ExpandedColorTable, Info, InfoText, InfoTime, InfoSkip, Pict, PicProp, ShpPict,
    Field, FldInst, FldRslt, NeXTGraphic, ListTable, List, ListLevel, LevelText, LevelMarker, ListOverrideTable,
    ListOverride, Background, ShpInst, Sp, Sn, Sv, SkipDestination,
    // character formatting
    Plain, F, Fs, FsMilli, B, I, Ul, UlDotted, UlDash, UlDashDot, UlDashDotDot, UlDouble, UlThick, UlThickDotted,
    UlThickDash, UlThickDashDot, UlThickDashDotDot, UlWord, UlWave, UlNone, UlC, Strike, StrikeD, StrikeC, Super, Sub,
    NoSuperSub, Up, Dn, Cf, Cb, Highlight, V, Uc, U,
    // paragraph formatting
    Pard, Ql, Qr, Qc, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, SlLeading, SlMinimum, SlMaximum, Tx, Tb, Tqr, Tqc, Tqdec,
    ParDefTab, LtrPar, RtlPar, ParDirNatural, Ls, Ilvl,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, PaperW, PaperH, MargL, MargR, MargT, MargB, Landscape, ViewW, ViewH, ViewKind,
    ViewScale, DefTab, ReadOnlyDoc, HyphFactor,
    // special characters
    Par, Line, Tab, Page, Cell, EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LQuote, RQuote, LDblQuote,
    RDblQuote, Zwj, Zwnj, LtrMark, RtlMark,
    // tables of fonts and colours
    FCharset, Cpg, Red, Green, Blue, ColorSpaceRGB, ColorSpaceGray, C,
    // pictures
    PngBlip, JpegBlip, EmfBlip, WMetafile, MacPict, DiBitmap, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, Bin,
    // attachment references
    Width, Height,
    // lists
    ListId, LevelNfc, LevelStartAt,
    // times
    Yr, Mo, Dy, Hr, Min, Sec,
    // tables
    TRowD, CellX, InTbl, Itap, NestCell, Row, NestRow, NestTableProps, TrLeft, TrGaph, ClBorder, RowBorder, BorderStyle,
    BorderNone, BrdrW, BrdrCf, ClPad, ClCbPat, ClVertAlT, ClVertAlC, ClVertAlB, ClMgf, ClMrg, ClVmgf, ClVmrg, ClFtsWidth, ListText,
};

const std::unordered_map<std::string_view, Kw>& keywords()
{
    static const std::unordered_map<std::string_view, Kw> table = {
        {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable}, {"expandedcolortbl", Kw::ExpandedColorTable},
        {"info", Kw::Info}, {"title", Kw::InfoText}, {"subject", Kw::InfoText}, {"author", Kw::InfoText},
        {"manager", Kw::InfoText}, {"company", Kw::InfoText}, {"operator", Kw::InfoText}, {"category", Kw::InfoText},
        {"keywords", Kw::InfoText}, {"comment", Kw::InfoText}, {"doccomm", Kw::InfoText}, {"hlinkbase", Kw::InfoText},
        {"creatim", Kw::InfoTime}, {"revtim", Kw::InfoTime}, {"printim", Kw::InfoSkip}, {"buptim", Kw::InfoSkip},
        {"pict", Kw::Pict}, {"picprop", Kw::PicProp}, {"shppict", Kw::ShpPict}, {"field", Kw::Field},
        {"fldinst", Kw::FldInst}, {"fldrslt", Kw::FldRslt}, {"NeXTGraphic", Kw::NeXTGraphic},
        {"listtable", Kw::ListTable}, {"list", Kw::List}, {"listlevel", Kw::ListLevel}, {"leveltext", Kw::LevelText},
        {"levelmarker", Kw::LevelMarker}, {"listoverridetable", Kw::ListOverrideTable},
        {"listoverride", Kw::ListOverride}, {"background", Kw::Background}, {"shpinst", Kw::ShpInst}, {"sp", Kw::Sp},
        {"sn", Kw::Sn}, {"sv", Kw::Sv},
        // Destinations whose text is not part of the document's text.
        {"stylesheet", Kw::SkipDestination}, {"header", Kw::SkipDestination}, {"headerl", Kw::SkipDestination},
        {"headerr", Kw::SkipDestination}, {"headerf", Kw::SkipDestination}, {"footer", Kw::SkipDestination},
        {"footerl", Kw::SkipDestination}, {"footerr", Kw::SkipDestination}, {"footerf", Kw::SkipDestination},
        {"footnote", Kw::SkipDestination}, {"annotation", Kw::SkipDestination}, {"atnid", Kw::SkipDestination},
        {"atnauthor", Kw::SkipDestination}, {"xe", Kw::SkipDestination}, {"tc", Kw::SkipDestination},
        {"rxe", Kw::SkipDestination}, {"txe", Kw::SkipDestination}, {"pn", Kw::SkipDestination},
        {"pnseclvl", Kw::SkipDestination}, {"nonshppict", Kw::SkipDestination}, {"revtbl", Kw::SkipDestination},
        {"filetbl", Kw::SkipDestination}, {"ftnsep", Kw::SkipDestination}, {"ftnsepc", Kw::SkipDestination},
        {"aftnsep", Kw::SkipDestination}, {"aftnsepc", Kw::SkipDestination}, {"levelnumbers", Kw::SkipDestination},
        {"listname", Kw::SkipDestination}, {"objdata", Kw::SkipDestination}, {"template", Kw::SkipDestination},
        {"fldtype", Kw::SkipDestination},
        {"plain", Kw::Plain}, {"f", Kw::F}, {"fs", Kw::Fs}, {"fsmilli", Kw::FsMilli}, {"b", Kw::B}, {"i", Kw::I},
        {"ul", Kw::Ul}, {"uld", Kw::UlDotted}, {"uldash", Kw::UlDash}, {"ulldash", Kw::UlDash},
        {"uldashd", Kw::UlDashDot}, {"uldashdd", Kw::UlDashDotDot}, {"uldb", Kw::UlDouble}, {"ulth", Kw::UlThick},
        {"ulthd", Kw::UlThickDotted}, {"ulthdash", Kw::UlThickDash}, {"ulthldash", Kw::UlThickDash},
        {"ulthdashd", Kw::UlThickDashDot}, {"ulthdashdd", Kw::UlThickDashDotDot}, {"ulw", Kw::UlWord},
        {"ulwave", Kw::UlWave}, {"ulhwave", Kw::UlWave}, {"ululdbwave", Kw::UlWave}, {"ulnone", Kw::UlNone},
        {"ulc", Kw::UlC}, {"strike", Kw::Strike}, {"striked", Kw::StrikeD}, {"strikec", Kw::StrikeC},
        {"super", Kw::Super}, {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub}, {"up", Kw::Up}, {"dn", Kw::Dn},
        {"cf", Kw::Cf}, {"cb", Kw::Cb}, {"chcbpat", Kw::Cb}, {"highlight", Kw::Highlight}, {"v", Kw::V},
        {"uc", Kw::Uc}, {"u", Kw::U},
        {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qr", Kw::Qr}, {"qc", Kw::Qc}, {"qj", Kw::Qj}, {"qd", Kw::Qj},
        {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri}, {"fi", Kw::Fi}, {"sb", Kw::Sb},
        {"sa", Kw::Sa}, {"sl", Kw::Sl}, {"slmult", Kw::SlMult}, {"slleading", Kw::SlLeading},
        {"slminimum", Kw::SlMinimum}, {"slmaximum", Kw::SlMaximum}, {"tx", Kw::Tx}, {"tb", Kw::Tb}, {"tqr", Kw::Tqr},
        {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec}, {"pardeftab", Kw::ParDefTab}, {"ltrpar", Kw::LtrPar},
        {"rtlpar", Kw::RtlPar}, {"pardirnatural", Kw::ParDirNatural}, {"ls", Kw::Ls}, {"ilvl", Kw::Ilvl},
        {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca}, {"ansicpg", Kw::AnsiCpg},
        {"deff", Kw::Deff}, {"paperw", Kw::PaperW}, {"paperh", Kw::PaperH}, {"margl", Kw::MargL},
        {"margr", Kw::MargR}, {"margt", Kw::MargT}, {"margb", Kw::MargB}, {"landscape", Kw::Landscape},
        {"vieww", Kw::ViewW}, {"viewh", Kw::ViewH}, {"viewkind", Kw::ViewKind}, {"viewscale", Kw::ViewScale},
        {"deftab", Kw::DefTab}, {"readonlydoc", Kw::ReadOnlyDoc}, {"hyphfactor", Kw::HyphFactor},
        {"par", Kw::Par}, {"sect", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab},
        {"page", Kw::Page}, {"cell", Kw::Cell}, {"emdash", Kw::EmDash},
        {"endash", Kw::EnDash}, {"emspace", Kw::EmSpace}, {"enspace", Kw::EnSpace}, {"qmspace", Kw::QmSpace},
        {"bullet", Kw::Bullet}, {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote}, {"ldblquote", Kw::LDblQuote},
        {"rdblquote", Kw::RDblQuote}, {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj}, {"ltrmark", Kw::LtrMark},
        {"rtlmark", Kw::RtlMark},
        {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg}, {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
        {"cssrgb", Kw::ColorSpaceRGB}, {"csgenericrgb", Kw::ColorSpaceRGB}, {"csgray", Kw::ColorSpaceGray},
        {"csgenericgray", Kw::ColorSpaceGray}, {"c", Kw::C},
        {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"emfblip", Kw::EmfBlip}, {"wmetafile", Kw::WMetafile},
        {"macpict", Kw::MacPict}, {"dibitmap", Kw::DiBitmap}, {"picw", Kw::PicW}, {"pich", Kw::PicH},
        {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal}, {"picscalex", Kw::PicScaleX},
        {"picscaley", Kw::PicScaleY}, {"bin", Kw::Bin},
        {"width", Kw::Width}, {"height", Kw::Height},
        {"listid", Kw::ListId}, {"levelnfc", Kw::LevelNfc}, {"levelstartat", Kw::LevelStartAt},
        {"yr", Kw::Yr}, {"mo", Kw::Mo}, {"dy", Kw::Dy}, {"hr", Kw::Hr}, {"min", Kw::Min}, {"sec", Kw::Sec},
        {"trowd", Kw::TRowD}, {"cellx", Kw::CellX}, {"intbl", Kw::InTbl}, {"itap", Kw::Itap},
        {"nestcell", Kw::NestCell}, {"row", Kw::Row}, {"nestrow", Kw::NestRow}, {"nesttableprops", Kw::NestTableProps},
        {"nonesttables", Kw::SkipDestination}, {"trleft", Kw::TrLeft}, {"trgaph", Kw::TrGaph},
        {"clbrdrt", Kw::ClBorder}, {"clbrdrl", Kw::ClBorder}, {"clbrdrb", Kw::ClBorder}, {"clbrdrr", Kw::ClBorder},
        {"trbrdrt", Kw::RowBorder}, {"trbrdrl", Kw::RowBorder}, {"trbrdrb", Kw::RowBorder}, {"trbrdrr", Kw::RowBorder},
        {"trbrdrh", Kw::RowBorder}, {"trbrdrv", Kw::RowBorder}, {"brdrt", Kw::RowBorder}, {"brdrl", Kw::RowBorder},
        {"brdrb", Kw::RowBorder}, {"brdrr", Kw::RowBorder}, {"box", Kw::RowBorder}, {"brdrbtw", Kw::RowBorder},
        {"brdrs", Kw::BorderStyle}, {"brdrth", Kw::BorderStyle}, {"brdrdb", Kw::BorderStyle}, {"brdrdot", Kw::BorderStyle},
        {"brdrdash", Kw::BorderStyle}, {"brdrhair", Kw::BorderStyle}, {"brdrtriple", Kw::BorderStyle},
        {"brdrsh", Kw::BorderStyle}, {"brdrinset", Kw::BorderStyle}, {"brdroutset", Kw::BorderStyle},
        {"brdrnone", Kw::BorderNone}, {"brdrnil", Kw::BorderNone}, {"brdrtbl", Kw::BorderNone}, {"brdrw", Kw::BrdrW},
        {"brdrcf", Kw::BrdrCf}, {"clpadt", Kw::ClPad}, {"clpadl", Kw::ClPad}, {"clpadb", Kw::ClPad}, {"clpadr", Kw::ClPad},
        {"clcbpat", Kw::ClCbPat}, {"clvertalt", Kw::ClVertAlT}, {"clvertalc", Kw::ClVertAlC},
        {"clvertalb", Kw::ClVertAlB}, {"clmgf", Kw::ClMgf}, {"clmrg", Kw::ClMrg}, {"clvmgf", Kw::ClVmgf},
        {"clvmrg", Kw::ClVmrg}, {"clftsWidth", Kw::ClFtsWidth}, {"listtext", Kw::ListText},
    };
    return table;
}

constexpr int DefaultFontSize = 24; // half-points

// The underline style an underline control word stands for (a wavy line is drawn single).
int underlineStyle(Kw kw)
{
    using A = PLTextAttributes;
    switch (kw) {
    case Kw::UlDotted: return A::LineStyleSingle | A::LinePatternDot;
    case Kw::UlDash: return A::LineStyleSingle | A::LinePatternDash;
    case Kw::UlDashDot: return A::LineStyleSingle | A::LinePatternDashDot;
    case Kw::UlDashDotDot: return A::LineStyleSingle | A::LinePatternDashDotDot;
    case Kw::UlDouble: return A::LineStyleDouble;
    case Kw::UlThick: return A::LineStyleThick;
    case Kw::UlThickDotted: return A::LineStyleThick | A::LinePatternDot;
    case Kw::UlThickDash: return A::LineStyleThick | A::LinePatternDash;
    case Kw::UlThickDashDot: return A::LineStyleThick | A::LinePatternDashDot;
    case Kw::UlThickDashDotDot: return A::LineStyleThick | A::LinePatternDashDotDot;
    case Kw::UlWord: return A::LineStyleSingle | A::LineByWord;
    default: return A::LineStyleSingle;
    }
}

struct CharState {
    int font = -1;
    int fontSize = DefaultFontSize;
    int fontSizeMilli = 0; // thousandths of a point; 0 when \fs rules
    bool bold = false;
    bool italic = false;
    bool hidden = false;
    int underline = 0;
    int underlineColor = 0;
    int strike = 0;
    int strikeColor = 0;
    int superscript = 0;
    int baseline = 0; // half-points
    int foreground = 0;
    int background = 0;
    int uc = 1;
    QString link;
};

struct ParaState {
    PLParagraphStyle style;
    int sl = 0;
    bool slMult = false;
    int slMinimum = -1;
    int slMaximum = -1;
    PLParagraphStyle::TabStop::Kind tabKind = PLParagraphStyle::TabStop::Kind::Left;
    int listOverride = 0;
    int listLevel = 0;
    int leftIndent = 0; // twips; \fi is kept apart as RTF gives it, relative to \li
    int firstIndent = 0;
    bool inTable = false;
    int itap = 0;
    // The nesting level of the tables the paragraph is in (0 outside tables).
    int tableLevel() const { return std::clamp(std::max(inTable ? 1 : 0, itap), 0, PLTextTableBlock::MaximumNesting); }
    bool operator==(const ParaState&) const = default;
};

struct Frame {
    Dest dest = Dest::Text;
    ShapePurpose shapePurpose = ShapePurpose::None;
    bool ignorable = false;   // \* came first: skip the group unless its destination is known
    bool swallowNext = false; // drop the placeholder character that follows an attachment reference
    bool nameDone = false;    // the file name of an attachment reference is complete
    int fieldFrame = -1;      // index of the enclosing \field group
    Dest parentDest = Dest::Text;
    int referenceWidth = 0;   // \width and \height of an attachment reference, in twips
    int referenceHeight = 0;
    QString destText;
    QString infoKey;
    CharState ch;
    ParaState para;
};

struct FontEntry {
    QString family;
    bool bold = false;
    bool italic = false;
    int codePage = 0;
};

struct ListLevel {
    int nfc = 0;
    int startAt = 1;
    QString text;
    QString marker;
    bool hasMarker = false;
};

struct Picture {
    bool active = false;
    QByteArray data;
    QByteArray extension;
    QString name;
    int wGoal = 0, hGoal = 0, scaleX = 100, scaleY = 100;
    bool haveHigh = false;
    unsigned char high = 0;
    bool damaged = false;
};

// A cell as a row definition gives it: its right edge (twips) and its settings.
struct CellDefinition {
    int right = 0;
    PLTextTableBlock settings;
    bool mergeNext = false;  // continues the cell to its left
    bool vmergeNext = false; // continues the cell above
    bool autoWidth = false;  // the cell takes the width the table gives it
};

// The text of a cell: paragraphs from start to end, each ended by "\n".
struct CellText {
    int start = 0;
    int end = 0;
};

struct RowRecord {
    std::vector<CellText> cells;
    std::vector<CellDefinition> definitions;
    int left = 0;
};

// The tables being read at one nesting level.
struct TableLevel {
    bool cellOpen = false;
    int cellStart = 0;
    std::vector<CellText> cells;             // of the row being read
    std::vector<CellDefinition> definitions; // of the last row definition
    CellDefinition building;
    int rowLeft = 0;
    int gap = 0;
    std::vector<RowRecord> rows;              // of the table being read
};

struct BlockAssignment {
    int start = 0;
    int end = 0;
    int level = 0;
    PLTextTableBlock block;
};

int hexValue(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Lengths are taken within +-100,000 points, far beyond any page, so that sums of them
// cannot overflow and every value read can be written back as it is.
constexpr int MaximumTwips = 2000000;

int lengthParam(int twips)
{
    return std::clamp(twips, -MaximumTwips, MaximumTwips);
}

// Twips (1/20 point) to points.
double points(int twips)
{
    return twips / 20.0;
}

QString nfcPlaceholder(int nfc)
{
    switch (nfc) {
    case 1: return QStringLiteral("{upper-roman}");
    case 2: return QStringLiteral("{lower-roman}");
    case 3: return QStringLiteral("{upper-alpha}");
    case 4: return QStringLiteral("{lower-alpha}");
    case 22: return QStringLiteral("{decimal-leading-zero}");
    default: return QStringLiteral("{decimal}");
    }
}

QString bulletPlaceholder(const QString& bullet)
{
    if (bullet.isEmpty()) return QStringLiteral("{disc}");
    const char16_t c = bullet.at(0).unicode();
    switch (c) {
    case 0x2022: case 0x00B7: case 0xF0B7: case 0xF095: return QStringLiteral("{disc}");
    case 0x25E6: case 'o': case 0x25CB: return QStringLiteral("{circle}");
    case 0x25AA: case 0x25A0: case 0xF0A7: return QStringLiteral("{square}");
    case '-': case 0x2013: case 0x2043: return QStringLiteral("{hyphen}");
    case 0x2713: case 0x2714: return QStringLiteral("{check}");
    case 0x25C6: case 0x2666: return QStringLiteral("{diamond}");
    default: return bullet;
    }
}

// The marker format of a list level from \levelmarker, or else from \leveltext and \levelnfc.
QString markerFormat(const ListLevel& level, int levelIndex)
{
    if (level.hasMarker) return level.marker;
    QString body;
    if (!level.text.isEmpty()) body = level.text.mid(1, level.text.at(0).unicode());
    if (level.nfc == 255) return {};
    if (level.nfc == 23) {
        QString bullet;
        for (QChar c : body)
            if (c.unicode() >= 9) bullet += c;
        return bulletPlaceholder(bullet);
    }
    QString format;
    bool placed = false;
    for (QChar c : body) {
        if (c.unicode() < 9) {
            if (c.unicode() == levelIndex) {
                format += nfcPlaceholder(level.nfc);
                placed = true;
            }
        } else {
            format += c;
        }
    }
    return placed ? format : nfcPlaceholder(level.nfc);
}

// The target of a HYPERLINK field instruction, or empty for any other field.
QString hyperlinkTarget(const QString& instruction)
{
    const QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive)) return {};
    QStringList arguments;
    QString anchor;
    int i = 9;
    bool anchorNext = false;
    bool skipNext = false;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        QString token;
        bool isSwitch = false;
        if (c == QLatin1Char('"')) {
            ++i;
            while (i < text.size() && text.at(i) != QLatin1Char('"')) {
                if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size()) ++i;
                token += text.at(i++);
            }
            ++i;
        } else if (c == QLatin1Char('\\') && i + 1 < text.size() && text.at(i + 1).isLetter()) {
            isSwitch = true;
            token = text.mid(i + 1, 1);
            i += 2;
        } else {
            while (i < text.size() && !text.at(i).isSpace()) token += text.at(i++);
        }
        if (isSwitch) {
            anchorNext = token == QLatin1String("l");
            skipNext = token == QLatin1String("o") || token == QLatin1String("t");
            continue;
        }
        if (anchorNext)
            anchor = token;
        else if (!skipNext)
            arguments << token;
        anchorNext = skipNext = false;
    }
    QString target = arguments.isEmpty() ? QString() : arguments.first();
    if (!anchor.isEmpty()) target += QLatin1Char('#') + anchor;
    return target;
}

// A device-independent bitmap as a BMP file, or empty when its header is not sound.
QByteArray bmpFromDib(const QByteArray& dib)
{
    if (dib.size() < 40) return {};
    const auto u32 = [&](int at) {
        const auto* b = reinterpret_cast<const unsigned char*>(dib.constData() + at);
        return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
    };
    const quint32 headerSize = u32(0);
    if (headerSize < 40 || headerSize > 124) return {};
    const int bitCount = static_cast<unsigned char>(dib[14]) | static_cast<unsigned char>(dib[15]) << 8;
    const quint32 compression = u32(16);
    quint64 colours = u32(32);
    if (colours == 0 && bitCount <= 8) colours = quint64(1) << bitCount;
    quint64 offset = 14 + quint64(headerSize) + colours * 4;
    if (headerSize == 40 && compression == 3) offset += 12;
    if (offset > quint64(dib.size()) + 14) return {};
    QByteArray bmp;
    const quint32 fileSize = quint32(dib.size() + 14);
    bmp.append("BM", 2);
    for (quint32 v : {fileSize, quint32(0), quint32(offset)})
        for (int shift = 0; shift < 32; shift += 8) bmp.append(char((v >> shift) & 0xFF));
    bmp.append(dib);
    return bmp;
}

// The file extension of picture bytes judged from their first bytes, or empty.
QByteArray sniffExtension(const QByteArray& data)
{
    if (data.startsWith("\x89PNG")) return "png";
    if (data.startsWith("\xFF\xD8\xFF")) return "jpg";
    if (data.startsWith("GIF8")) return "gif";
    if (data.startsWith("II*\0") || data.startsWith("MM\0*")) return "tiff";
    if (data.startsWith("BM")) return "bmp";
    return {};
}

class Parser {
public:
    Parser(const QByteArray& data, const PLRTFReader::FileLookup& files)
        : m_data(reinterpret_cast<const unsigned char*>(data.constData())), m_end(m_data + data.size()), m_files(files)
    {
    }

    PLAttributedString run();

    PLDocumentAttributes documentAttributes;
    PLError error;

private:
    // Damage that the reading goes on after, and damage that ends it.
    void report(int code, const QString& reason);
    void fail(int code, const QString& reason);
    Frame& top() { return m_frames.back(); }

    // True when text comes after a closing brace of the document (and before its last).
    bool hasContentAfterEnd();
    // True when only whole ignorable groups ("{\\*\\name ...}"), white space and NUL bytes
    // follow: word processors put theme data and data stores after the document's group.
    bool onlyIgnorableGroupsFollow() const;
    void pushGroup();
    void popGroup();
    void skipGroup();
    void parseControl();
    void handleWord(std::string_view name, bool hasParam, int param);
    void handleSymbol(unsigned char c);
    void handleTextBytes();
    void handlePictBytes();
    bool readBinary(int count, QByteArray* into);

    void flushBytes();
    void sinkText(QStringView text);
    void emitText(QStringView text);
    void emitCharacter(char16_t c);
    // A \u character: surrogates are paired, a lone one becomes U+FFFD.
    void emitUnicode(char16_t c);
    void flushSurrogate();
    void flushBuffer();
    void endParagraph();
    void applyParagraph();
    void emitAttachment(const PLTextAttachmentPtr& attachment);
    int currentCodePage();
    PLTextAttributes currentAttributes();
    PLTextAttributes attributesOf(const CharState& ch);
    std::optional<QColor> colorAt(int index) const;
    void finishFont();
    void finishColor();
    void finishExpandedColor();
    void finishGroup(Frame& closing);
    void finishPicture();
    void finishAttachmentReference(Frame& closing);
    void finishShapeProperty(Frame& closing);
    void finish();

    // tables
    TableLevel& tableLevel(int level) { return m_tableLevels[size_t(level - 1)]; }
    int currentTableLevel() { return top().para.tableLevel(); }
    bool paragraphHasText();
    void paragraphEnded(int start, int level);
    void dropEmptyParagraphAfterNestedTable(int level, int cellStart, int end);
    void endCell(int level);
    void endRow(int level);
    void closeTable(int level, int end);
    void finishTable(int level);
    void applyTables();

    const unsigned char* m_pos = nullptr;
    const unsigned char* m_data;
    const unsigned char* m_end;
    const PLRTFReader::FileLookup& m_files;
    std::vector<Frame> m_frames;
    bool m_stopped = false;
    bool m_done = false;
    int m_ucSkip = 0;
    int m_documentCodePage = PLCodePage::Windows1252;
    int m_defaultFont = -1;
    QByteArray m_pendingBytes;
    int m_excessDepth = 0; // groups opened beyond MaximumNesting
    const unsigned char* m_lastContent = nullptr; // the end of the last text before the last brace
    char16_t m_highSurrogate = 0; // a \u high surrogate waiting for its low half

    // output
    PLAttributedString m_out;
    QString m_buffer;
    PLTextAttributes m_bufferAttributes;
    bool m_attributesDirty = true;
    int m_paragraphStart = 0;
    ParaState m_cachedPara;
    PLTextAttributes m_cachedParagraphAttributes;
    bool m_haveCachedPara = false;

    // tables
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = -1;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    QString m_fontName;
    std::vector<std::optional<QColor>> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    std::vector<std::optional<QColor>> m_expandedColors;
    std::vector<int> m_components;
    Kw m_colorSpace = Kw::C;
    QHash<int, QList<ListLevel>> m_lists;
    QList<ListLevel> m_currentList;
    int m_currentListId = 0;
    ListLevel m_currentLevel;
    QHash<int, int> m_listOverrides;
    int m_overrideListId = 0;
    int m_overrideNumber = 0;
    std::array<int, 6> m_time{};
    QString m_shapeName;
    QString m_shapeValue;
    Picture m_picture;
    int m_pictureCount = 0;

    std::array<TableLevel, PLTextTableBlock::MaximumNesting> m_tableLevels;
    int m_deepestOpenTable = 0;  // the deepest level with an open cell or rows read
    int m_definitionLevel = 1;   // the level the row definition being read is for
    int m_borderEdge = -1;       // the cell edge that border words describe, or -1
    std::vector<BlockAssignment> m_assignments;
    std::vector<CellText> m_deletions; // the empty paragraphs of merged cells
    struct { int start = 0; int end = 0; int level = 0; } m_lastParagraph; // the last paragraph ended
    int m_levelBeforeLastParagraph = 0;
    QString m_listLabel;
};

void Parser::report(int code, const QString& reason)
{
    if (!error) {
        const qsizetype offset = m_pos ? m_pos - m_data : 0;
        error = PLError(QStringLiteral("Ideaflux"), code,
                        {{PLError::FailureReasonKey, QStringLiteral("%1 (at byte %2)").arg(reason).arg(offset)}});
    }
}

void Parser::fail(int code, const QString& reason)
{
    report(code, reason);
    m_stopped = true;
}

PLAttributedString Parser::run()
{
    m_pos = m_data;
    while (m_pos < m_end && *m_pos != '{') ++m_pos; // isRTF has checked that only white space comes first
    while (m_pos < m_end && !m_stopped && !m_done) {
        switch (*m_pos) {
        case '{':
            ++m_pos;
            pushGroup();
            break;
        case '}':
            ++m_pos;
            popGroup();
            break;
        case '\\':
            parseControl();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default:
            if (top().dest == Dest::Pict)
                handlePictBytes();
            else
                handleTextBytes();
        }
    }
    if (!m_done && !m_stopped && !m_frames.empty())
        fail(PLRTFReader::TruncatedError, QStringLiteral("The RTF data ends inside a group"));
    finish();
    return std::move(m_out);
}

void Parser::finish()
{
    if (!m_frames.empty()) {
        flushBytes();
        flushSurrogate();
        flushBuffer();
        applyParagraph();
    }
    // Every cell paragraph ends with "\n", the last one of the text too.
    if (m_deepestOpenTable > 0 && tableLevel(1).cellOpen && m_out.length() > 0
        && m_out.string().back() != QLatin1Char('\n'))
    {
        PLTextAttributes attributes = m_out.attributesAt(m_out.length() - 1);
        attributes.attachment.reset();
        m_out.append(QStringLiteral("\n"), attributes);
    }
    for (int level = m_deepestOpenTable; level >= 1; --level) closeTable(level, m_out.length());
    applyTables();
}

bool Parser::hasContentAfterEnd()
{
    if (!m_lastContent) {
        // The document ends at its last closing brace; what comes after that is not text.
        const unsigned char* lastBrace = m_end;
        while (lastBrace > m_data && lastBrace[-1] != '}') --lastBrace;
        const unsigned char* content = lastBrace > m_data ? lastBrace - 1 : m_data;
        while (content > m_data && (content[-1] <= ' ' || content[-1] == '}')) --content;
        m_lastContent = content;
    }
    return m_pos < m_lastContent;
}

bool Parser::onlyIgnorableGroupsFollow() const
{
    const unsigned char* p = m_pos;
    while (true) {
        while (p < m_end && (*p <= ' ')) ++p;
        if (p == m_end) return true;
        if (m_end - p < 3 || p[0] != '{' || p[1] != '\\' || p[2] != '*') return false;
        int depth = 0;
        do {
            const unsigned char c = *p++;
            if (c == '\\' && p < m_end) ++p; // an escaped brace or backslash counts for nothing
            else if (c == '{') ++depth;
            else if (c == '}') --depth;
        } while (depth > 0 && p < m_end);
        if (depth > 0) return false; // cut off: damage, reported as such
    }
}

void Parser::pushGroup()
{
    flushBytes();
    flushSurrogate();
    m_ucSkip = 0;
    if (m_frames.empty()) {
        m_frames.emplace_back();
        return;
    }
    if (int(m_frames.size()) >= PLRTFReader::MaximumNesting || m_excessDepth > 0) {
        // Deeper groups only count their braces; their text stays in the innermost state.
        report(PLRTFReader::TooDeepError, QStringLiteral("The RTF groups are nested too deeply"));
        ++m_excessDepth;
        return;
    }
    m_frames.push_back(m_frames.back());
    Frame& frame = m_frames.back();
    frame.parentDest = frame.dest;
    frame.ignorable = false;
    frame.swallowNext = false;
    frame.nameDone = false;
    frame.destText.clear();
    frame.infoKey.clear();
    switch (frame.dest) {
    case Dest::Pict:
    case Dest::NeXTGraphic:
    case Dest::InfoText:
    case Dest::InfoTime:
    case Dest::LevelText:
    case Dest::LevelMarker:
    case Dest::ShapePropertyName:
    case Dest::ShapePropertyValue:
        frame.dest = Dest::Ignore;
        break;
    case Dest::ShapeProperty:
        frame.dest = Dest::ShapeGroup;
        break;
    default:
        break; // text, tables and containers pass on to their groups
    }
}

void Parser::popGroup()
{
    flushBytes();
    flushSurrogate();
    m_ucSkip = 0;
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    if (m_frames.size() == 1 && hasContentAfterEnd() && !onlyIgnorableGroupsFollow()) {
        // A brace too many: what follows is still the document's text.
        report(PLRTFReader::MalformedError, QStringLiteral("The RTF data goes on after its closing brace"));
        return;
    }
    if (m_frames.size() == 1) {
        flushBuffer();
        applyParagraph();
        finishGroup(m_frames.back());
        m_frames.clear();
        m_done = true;
        return;
    }
    Frame closing = std::move(m_frames.back());
    m_frames.pop_back();
    m_attributesDirty = true;
    finishGroup(closing);
}

void Parser::finishGroup(Frame& closing)
{
    switch (closing.dest) {
    case Dest::FontTable:
        if (!m_fontName.trimmed().isEmpty()) finishFont();
        break;
    case Dest::ColorTable:
        if (m_red >= 0 || m_green >= 0 || m_blue >= 0) finishColor();
        break;
    case Dest::InfoText:
        if (!closing.infoKey.isEmpty()) documentAttributes.info.insert(closing.infoKey, closing.destText);
        break;
    case Dest::InfoTime: {
        const QDate date(m_time[0], m_time[1], m_time[2]);
        const QTime time(m_time[3], m_time[4], m_time[5]);
        if (date.isValid() && m_time[0] > 0) {
            const QDateTime value(date, time.isValid() ? time : QTime(0, 0));
            if (closing.infoKey == QLatin1String("creatim"))
                documentAttributes.creationTime = value;
            else
                documentAttributes.modificationTime = value;
        }
        break;
    }
    case Dest::Pict:
        finishPicture();
        break;
    case Dest::NeXTGraphic:
        finishAttachmentReference(closing);
        break;
    case Dest::ListLevel:
        if (m_frames.empty() || top().dest != Dest::ListLevel) m_currentList.append(m_currentLevel);
        break;
    case Dest::LevelText:
        m_currentLevel.text = closing.destText;
        break;
    case Dest::LevelMarker:
        m_currentLevel.marker = closing.destText;
        m_currentLevel.hasMarker = true;
        break;
    case Dest::List:
        if (m_frames.empty() || top().dest != Dest::List) m_lists.insert(m_currentListId, m_currentList);
        break;
    case Dest::ListOverride:
        if (m_frames.empty() || top().dest != Dest::ListOverride) m_listOverrides.insert(m_overrideNumber, m_overrideListId);
        break;
    case Dest::ShapePropertyName:
        m_shapeName = closing.destText.trimmed();
        break;
    case Dest::ShapePropertyValue:
        m_shapeValue = closing.destText.trimmed();
        break;
    case Dest::ShapeProperty:
        finishShapeProperty(closing);
        break;
    case Dest::ListText:
        if (!m_frames.empty() && top().dest == Dest::Text) {
            // The label as list items carry it, whatever white space the writer put around it.
            const QString label = m_listLabel.trimmed();
            if (!label.isEmpty() && !closing.ch.hidden) {
                flushBuffer();
                PLTextAttributes attributes = attributesOf(closing.ch);
                attributes.link.reset();
                m_out.append(QLatin1Char('\t') + label + QLatin1Char('\t'), attributes);
            }
        }
        break;
    case Dest::ExpandedColorTable:
        if (m_frames.empty() || top().dest != Dest::ExpandedColorTable) {
            // Exact components override the 8-bit ones of the ordinary table.
            for (size_t i = 0; i < m_expandedColors.size() && i < m_colors.size(); ++i)
                if (m_expandedColors[i]) m_colors[i] = m_expandedColors[i];
        }
        break;
    default:
        break;
    }
}

void Parser::finishShapeProperty(Frame& closing)
{
    if (closing.shapePurpose == ShapePurpose::Background && m_shapeName == QLatin1String("fillColor")) {
        bool ok = false;
        const qlonglong value = m_shapeValue.toLongLong(&ok);
        if (ok && value >= 0 && value <= 0xFFFFFF)
            documentAttributes.backgroundColor = QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    } else if (closing.shapePurpose == ShapePurpose::Picture && m_shapeName == QLatin1String("wzName")) {
        m_picture.name = m_shapeValue;
    }
    m_shapeName.clear();
    m_shapeValue.clear();
}

void Parser::skipGroup()
{
    // Skips to the brace that closes the current group without keeping a frame per level,
    // so that skipped data may nest as deeply as it likes.
    int depth = 1;
    while (m_pos < m_end) {
        const unsigned char c = *m_pos++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                if (top().dest == Dest::Pict) m_picture = Picture();
                if (m_frames.size() == 1) {
                    // The whole document was an ignorable group: it ends here.
                    flushBuffer();
                    applyParagraph();
                    m_done = true;
                }
                m_frames.pop_back();
                m_attributesDirty = true;
                return;
            }
        } else if (c == '\\' && m_pos < m_end) {
            if (!isLetter(*m_pos)) {
                ++m_pos; // escaped brace or backslash, or another control symbol
                continue;
            }
            const unsigned char* start = m_pos;
            while (m_pos < m_end && isLetter(*m_pos)) ++m_pos;
            const bool isBin = m_pos - start == 3 && std::string_view(reinterpret_cast<const char*>(start), 3) == "bin";
            bool negative = false;
            if (m_pos < m_end && *m_pos == '-') {
                negative = true;
                ++m_pos;
            }
            qint64 value = 0;
            bool hasDigits = false;
            while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9') {
                value = std::min<qint64>(value * 10 + (*m_pos - '0'), qint64(1) << 40);
                hasDigits = true;
                ++m_pos;
            }
            if (m_pos < m_end && *m_pos == ' ') ++m_pos;
            if (isBin && hasDigits) {
                if (negative || value > m_end - m_pos) {
                    fail(PLRTFReader::TruncatedError, QStringLiteral("The RTF binary data runs past the end"));
                    return;
                }
                m_pos += value;
            }
        }
    }
    fail(PLRTFReader::TruncatedError, QStringLiteral("The RTF data ends inside a group"));
}

void Parser::parseControl()
{
    ++m_pos; // the backslash
    if (m_pos >= m_end) {
        fail(PLRTFReader::TruncatedError, QStringLiteral("The RTF data ends inside a control word"));
        return;
    }
    if (!isLetter(*m_pos)) {
        const unsigned char c = *m_pos++;
        handleSymbol(c);
        return;
    }
    const unsigned char* start = m_pos;
    while (m_pos < m_end && isLetter(*m_pos)) ++m_pos;
    std::string_view name(reinterpret_cast<const char*>(start), size_t(m_pos - start));
    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (m_pos < m_end && *m_pos == '-' && m_pos + 1 < m_end && m_pos[1] >= '0' && m_pos[1] <= '9') {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9') {
        hasParam = true;
        value = std::min<qint64>(value * 10 + (*m_pos - '0'), qint64(1) << 40);
        ++m_pos;
    }
    if (m_pos < m_end && *m_pos == ' ') ++m_pos;
    if (negative) value = -value;
    const int param = int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
    if (name.size() > 32) name = name.substr(0, 32); // longer words are unknown anyway
    handleWord(name, hasParam, param);
}

void Parser::handleSymbol(unsigned char c)
{
    if (c == '\'') {
        if (m_end - m_pos < 2) {
            fail(PLRTFReader::TruncatedError, QStringLiteral("The RTF data ends inside a hexadecimal escape"));
            return;
        }
        const int high = hexValue(m_pos[0]);
        const int low = hexValue(m_pos[1]);
        if (high < 0 || low < 0) {
            // A damaged escape is dropped with the two characters that should have been its
            // digits, unless they belong to the structure; the rest of the text still counts.
            for (int i = 0; i < 2 && m_pos < m_end && *m_pos != '\\' && *m_pos != '{' && *m_pos != '}'; ++i) ++m_pos;
            return;
        }
        m_pos += 2;
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        m_pendingBytes.append(char(high << 4 | low));
        return;
    }
    flushBytes();
    if (m_ucSkip > 0 && c != '*') {
        --m_ucSkip;
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        m_pendingBytes.append(char(c));
        break;
    case '~': emitCharacter(0x00A0); break;
    case '-': emitCharacter(0x00AD); break;
    case '_': emitCharacter(0x2011); break;
    case '\n':
    case '\r': endParagraph(); break;
    case '\t': emitCharacter('\t'); break;
    case '*': top().ignorable = true; break;
    default: break; // \: \| and other symbols carry nothing the text keeps
    }
}

bool Parser::readBinary(int count, QByteArray* into)
{
    if (count < 0 || count > m_end - m_pos) {
        fail(PLRTFReader::TruncatedError, QStringLiteral("The RTF binary data runs past the end"));
        return false;
    }
    if (into) into->append(reinterpret_cast<const char*>(m_pos), count);
    m_pos += count;
    return true;
}

void Parser::handleTextBytes()
{
    const Dest dest = top().dest;
    const bool tableDest = dest == Dest::FontTable || dest == Dest::ColorTable || dest == Dest::ExpandedColorTable;
    while (m_pos < m_end) {
        const unsigned char c = *m_pos;
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n') return;
        ++m_pos;
        if (m_ucSkip > 0) {
            --m_ucSkip;
            continue;
        }
        if (tableDest && c == ';') {
            flushBytes();
            if (dest == Dest::FontTable)
                finishFont();
            else if (dest == Dest::ColorTable)
                finishColor();
            else
                finishExpandedColor();
            continue;
        }
        if (c == '\t') {
            flushBytes();
            emitCharacter('\t');
            continue;
        }
        if (c < 0x20) continue;
        m_pendingBytes.append(char(c));
    }
}

void Parser::handlePictBytes()
{
    while (m_pos < m_end) {
        const unsigned char c = *m_pos;
        if (c == '\\' || c == '{' || c == '}') return;
        ++m_pos;
        const int v = hexValue(c);
        if (v < 0) {
            // A picture with junk in its data is dropped; the text around it is read on.
            if (c > ' ') m_picture.damaged = true;
            continue;
        }
        if (m_picture.damaged) continue;
        if (m_picture.haveHigh)
            m_picture.data.append(char(m_picture.high << 4 | v));
        else
            m_picture.high = static_cast<unsigned char>(v);
        m_picture.haveHigh = !m_picture.haveHigh;
    }
}

int Parser::currentCodePage()
{
    const Frame& frame = top();
    if (frame.dest == Dest::FontTable) {
        if (m_fontCodePage > 0) return m_fontCodePage;
        const int cp = PLCodePage::forCharset(m_fontCharset);
        return cp > 0 ? cp : m_documentCodePage;
    }
    const auto it = m_fonts.constFind(frame.ch.font);
    if (it != m_fonts.cend() && it->codePage > 0) return it->codePage;
    return m_documentCodePage;
}

void Parser::flushBytes()
{
    if (m_pendingBytes.isEmpty() || m_frames.empty()) return;
    const QString text = PLCodePage::decode(m_pendingBytes, currentCodePage());
    m_pendingBytes.clear();
    sinkText(text);
}

void Parser::emitUnicode(char16_t c)
{
    if (QChar::isLowSurrogate(c) && m_highSurrogate) {
        flushBytes();
        const QChar pair[2] = {QChar(m_highSurrogate), QChar(c)};
        m_highSurrogate = 0;
        sinkText(QStringView(pair, 2));
        return;
    }
    if (QChar::isHighSurrogate(c)) {
        flushBytes();
        flushSurrogate();
        m_highSurrogate = c;
        return;
    }
    emitCharacter(QChar::isLowSurrogate(c) ? char16_t(0xFFFD) : c);
}

void Parser::flushSurrogate()
{
    if (!m_highSurrogate || m_frames.empty()) return;
    m_highSurrogate = 0;
    const QChar replacement(0xFFFD);
    sinkText(QStringView(&replacement, 1));
}

void Parser::sinkText(QStringView text)
{
    flushSurrogate();
    Frame& frame = top();
    switch (frame.dest) {
    case Dest::Text:
        emitText(text);
        break;
    case Dest::FontTable:
        m_fontName += text;
        break;
    case Dest::NeXTGraphic:
        if (!frame.nameDone) frame.destText += text;
        break;
    case Dest::InfoText:
    case Dest::LevelText:
    case Dest::LevelMarker:
    case Dest::ShapePropertyName:
    case Dest::ShapePropertyValue:
        frame.destText += text;
        break;
    case Dest::FieldInst:
        if (frame.fieldFrame >= 0 && frame.fieldFrame < int(m_frames.size())) m_frames[size_t(frame.fieldFrame)].destText += text;
        break;
    case Dest::ListText:
        if (m_listLabel.size() < 1000) m_listLabel += text;
        break;
    default:
        break;
    }
}

void Parser::emitCharacter(char16_t c)
{
    flushBytes();
    const QChar character(c);
    sinkText(QStringView(&character, 1));
}

void Parser::emitText(QStringView text)
{
    Frame& frame = top();
    if (frame.ch.hidden) return;
    if (frame.swallowNext && !text.isEmpty()) {
        frame.swallowNext = false;
        if (text.front() == QChar(0x00AC) || text.front() == QChar(PLAttributedString::AttachmentCharacter)) text = text.mid(1);
    }
    if (text.isEmpty()) return;
    if (m_attributesDirty) {
        PLTextAttributes attributes = currentAttributes();
        if (!(attributes == m_bufferAttributes)) {
            flushBuffer();
            m_bufferAttributes = std::move(attributes);
        }
        m_attributesDirty = false;
    }
    m_buffer += text;
}

void Parser::flushBuffer()
{
    if (m_buffer.isEmpty()) return;
    m_out.append(m_buffer, m_bufferAttributes);
    m_buffer.clear();
}

void Parser::endParagraph()
{
    emitCharacter('\n');
    // A hidden paragraph mark joins its paragraph to the next one.
    if (top().dest != Dest::Text || top().ch.hidden) return;
    flushBuffer();
    const int start = m_paragraphStart;
    applyParagraph();
    paragraphEnded(start, currentTableLevel());
}

bool Parser::paragraphHasText()
{
    flushBytes();
    flushSurrogate();
    return !m_buffer.isEmpty() || m_out.length() > m_paragraphStart;
}

// A paragraph from start to the end of the text has ended at a nesting level: the tables
// deeper than that end before it, and it opens the cells it is in.
void Parser::paragraphEnded(int start, int level)
{
    for (int deeper = m_deepestOpenTable; deeper > level; --deeper) closeTable(deeper, start);
    for (int outer = 1; outer <= level; ++outer) {
        TableLevel& table = tableLevel(outer);
        if (!table.cellOpen) {
            table.cellOpen = true;
            table.cellStart = start;
        }
    }
    m_deepestOpenTable = std::max(m_deepestOpenTable, level);
    m_levelBeforeLastParagraph = m_lastParagraph.level;
    m_lastParagraph = {start, m_out.length(), level};
}

// A cell that ends without its mark after a nested table and an empty paragraph ends as one
// that has its mark there: the empty paragraph is no text of its own.
void Parser::dropEmptyParagraphAfterNestedTable(int level, int cellStart, int end)
{
    if (m_lastParagraph.start > cellStart && m_lastParagraph.end == end && m_lastParagraph.end - m_lastParagraph.start == 1 && m_lastParagraph.level == level
        && m_levelBeforeLastParagraph > level)
        m_deletions.push_back({m_lastParagraph.start, m_lastParagraph.end});
}

void Parser::endCell(int level)
{
    if (top().dest != Dest::Text) return;
    const bool afterNestedTable = level < m_deepestOpenTable;
    if (afterNestedTable && !paragraphHasText()) {
        // The empty paragraph that ends a cell right after a nested table is no text of its own.
        closeTable(level + 1, m_out.length());
    } else {
        // A cell mark ends its paragraph even in hidden text.
        const bool hidden = std::exchange(top().ch.hidden, false);
        emitCharacter('\n');
        top().ch.hidden = hidden;
        flushBuffer();
        const int start = m_paragraphStart;
        applyParagraph();
        paragraphEnded(start, level);
    }
    TableLevel& table = tableLevel(level);
    if (!table.cellOpen) return;
    table.cells.push_back({table.cellStart, m_out.length()});
    table.cellOpen = false;
}

void Parser::endRow(int level)
{
    if (top().dest != Dest::Text) return;
    if (paragraphHasText()) endCell(level);
    for (int deeper = m_deepestOpenTable; deeper > level; --deeper) closeTable(deeper, m_out.length());
    TableLevel& table = tableLevel(level);
    if (table.cellOpen) {
        if (table.cellStart < m_out.length()) {
            dropEmptyParagraphAfterNestedTable(level, table.cellStart, m_out.length());
            table.cells.push_back({table.cellStart, m_out.length()});
        }
        table.cellOpen = false;
    }
    if (table.cells.empty()) return;
    m_deepestOpenTable = std::max(m_deepestOpenTable, level);
    table.rows.push_back({std::move(table.cells), table.definitions, table.rowLeft});
    table.cells.clear();
}

// Ends the table at a level (and the row and cell it was in the middle of) at end.
void Parser::closeTable(int level, int end)
{
    // Tables nested in it end first: a table lies within one cell of the table around it.
    for (int deeper = m_deepestOpenTable; deeper > level; --deeper) closeTable(deeper, end);
    TableLevel& table = tableLevel(level);
    if (table.cellOpen) {
        if (table.cellStart < end) {
            dropEmptyParagraphAfterNestedTable(level, table.cellStart, end);
            table.cells.push_back({table.cellStart, end});
        }
        table.cellOpen = false;
    }
    if (!table.cells.empty()) {
        table.rows.push_back({std::move(table.cells), table.definitions, table.rowLeft});
        table.cells.clear();
    }
    finishTable(level);
    if (m_deepestOpenTable >= level) m_deepestOpenTable = level - 1;
}

void Parser::finishTable(int level)
{
    TableLevel& table = tableLevel(level);
    if (table.rows.empty()) return;
    // An empty cell that continues the cell to its left widens it.
    struct Cell {
        CellText text;
        const CellDefinition* definition = nullptr;
        int left = 0;
        int right = 0; // after the merges to its right
        bool placed = false; // it has edges of its own
        bool kept = true;
    };
    std::vector<std::vector<Cell>> rows;
    for (const RowRecord& row : table.rows) {
        std::vector<Cell> cells;
        int reached = INT_MIN; // a cell whose edges go back over its neighbours' has no place of its own
        for (size_t i = 0; i < row.cells.size(); ++i) {
            Cell cell;
            cell.text = row.cells[i];
            if (i < row.definitions.size()) {
                cell.definition = &row.definitions[i];
                cell.left = i == 0 ? row.left : row.definitions[i - 1].right;
                cell.right = cell.definition->right;
                cell.placed = cell.right > cell.left && cell.left >= reached;
                if (cell.placed) reached = cell.right;
            }
            const bool empty = cell.text.end - cell.text.start == 1;
            if (cell.placed && empty && cell.definition->mergeNext && !cells.empty() && cells.back().kept && cells.back().placed) {
                cells.back().right = cell.right;
                cell.kept = false;
                m_deletions.push_back(cell.text);
            }
            cells.push_back(cell);
        }
        // A row with a cell that has no place of its own is counted cell by cell, so that no
        // cell is pushed off the columns its edges give it.
        if (std::any_of(cells.begin(), cells.end(), [](const Cell& c) { return c.kept && !c.placed; }))
            for (Cell& c : cells) c.placed = false;
        rows.push_back(std::move(cells));
    }
    // The column edges of the cells make the grid; a cell spans the columns between its edges.
    std::vector<int> edges;
    for (const std::vector<Cell>& row : rows) {
        for (const Cell& cell : row) {
            if (!cell.kept || !cell.placed) continue;
            edges.push_back(cell.left);
            edges.push_back(cell.right);
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const std::vector<int>& grid = edges;
    const auto columnAt = [&](int edge) { return int(std::lower_bound(grid.begin(), grid.end(), edge) - grid.begin()); };
    // Then the cells on the grid; an empty cell that continues the cell above, with the same
    // columns, lengthens it.
    int columns = 1;
    std::vector<std::pair<CellText, PLTextTableBlock>> blocks;
    std::vector<std::pair<int, int>> blockEdges;
    std::array<size_t, PLTextTable::MaximumColumns> startedAt; // the last block that starts at a column
    startedAt.fill(SIZE_MAX);
    for (size_t r = 0; r < rows.size(); ++r) {
        int next = 0;
        for (const Cell& cell : rows[r]) {
            if (!cell.kept) continue;
            PLTextTableBlock block = cell.definition ? cell.definition->settings : PLTextTableBlock();
            int column = next;
            int span = 1;
            if (cell.placed) {
                column = std::max(next, columnAt(cell.left));
                span = std::max(1, columnAt(cell.right) - columnAt(cell.left));
                if (!cell.definition->autoWidth) block.width = points(cell.right - cell.left);
            }
            column = std::min(column, PLTextTable::MaximumColumns - 1);
            span = std::clamp(span, 1, PLTextTable::MaximumColumns - column);
            next = column + span;
            columns = std::max(columns, next);
            if (cell.placed && cell.text.end - cell.text.start == 1 && cell.definition->vmergeNext
                && startedAt[size_t(column)] < blocks.size()) {
                PLTextTableBlock& above = blocks[startedAt[size_t(column)]].second;
                // The same edges, so that the grid is the same without the merged cell.
                if (above.row + above.rowSpan == int(r) && blockEdges[startedAt[size_t(column)]] == std::pair(cell.left, cell.right)) {
                    ++above.rowSpan;
                    m_deletions.push_back(cell.text);
                    continue;
                }
            }
            block.row = int(r);
            block.column = column;
            block.columnSpan = span;
            startedAt[size_t(column)] = blocks.size();
            blocks.emplace_back(cell.text, block);
            blockEdges.emplace_back(cell.placed ? std::pair(cell.left, cell.right) : std::pair(0, 0));
        }
    }
    QList<double> columnWidths;
    for (size_t i = 1; i < grid.size(); ++i) columnWidths.append(points(grid[i] - grid[i - 1]));
    const PLTextTablePtr shared = PLTextTable::make(columns, columnWidths, grid.empty() ? 0 : points(grid.front()));
    for (auto& [text, block] : blocks) {
        block.table = shared;
        m_assignments.push_back({text.start, text.end, level, block});
    }
    table.rows.clear();
}

// Gives every table paragraph its blocks and drops the paragraphs of merged cells, in one
// pass over the text.
void Parser::applyTables()
{
    if (m_assignments.empty() && m_deletions.empty()) return;
    std::array<std::vector<const BlockAssignment*>, PLTextTableBlock::MaximumNesting> byLevel;
    for (const BlockAssignment& assignment : m_assignments) byLevel[size_t(assignment.level - 1)].push_back(&assignment);
    for (auto& list : byLevel)
        std::sort(list.begin(), list.end(), [](const BlockAssignment* a, const BlockAssignment* b) { return a->start < b->start; });
    std::sort(m_deletions.begin(), m_deletions.end(), [](const CellText& a, const CellText& b) { return a.start < b.start; });
    std::array<size_t, PLTextTableBlock::MaximumNesting> next{};
    size_t nextDeletion = 0;
    PLAttributedString result;
    const int length = m_out.length();
    int position = 0;
    while (position < length) {
        PLRange run;
        PLTextAttributes attributes = m_out.attributesAt(position, &run);
        int end = run.end();
        while (nextDeletion < m_deletions.size() && m_deletions[nextDeletion].end <= position) ++nextDeletion;
        if (nextDeletion < m_deletions.size()) {
            const CellText& deletion = m_deletions[nextDeletion];
            if (deletion.start <= position) {
                position = std::min(deletion.end, length);
                continue;
            }
            end = std::min(end, deletion.start);
        }
        QList<PLTextTableBlock> blocks;
        bool outerFound = true;
        for (size_t level = 0; level < byLevel.size(); ++level) {
            const auto& list = byLevel[level];
            size_t& i = next[level];
            while (i < list.size() && list[i]->end <= position) ++i;
            if (i >= list.size()) {
                outerFound = false;
                continue;
            }
            if (list[i]->start > position) {
                end = std::min(end, list[i]->start);
                outerFound = false;
                continue;
            }
            end = std::min(end, list[i]->end);
            if (outerFound) blocks.append(list[i]->block);
        }
        if (!blocks.isEmpty() || attributes.paragraphStyle) {
            PLParagraphStyle style = attributes.paragraphStyle.value_or(PLParagraphStyle());
            style.textBlocks = blocks;
            if (style.isDefault())
                attributes.paragraphStyle.reset();
            else
                attributes.paragraphStyle = style;
        }
        result.append(m_out.string().mid(position, end - position), attributes);
        position = end;
    }
    m_out = std::move(result);
}

void Parser::applyParagraph()
{
    if (m_paragraphStart >= m_out.length() || m_frames.empty()) {
        m_paragraphStart = m_out.length();
        return;
    }
    const ParaState& para = top().para;
    if (!m_haveCachedPara || !(para == m_cachedPara)) {
        PLParagraphStyle style = para.style;
        style.leftIndent = points(para.leftIndent);
        style.firstLineIndent = points(para.leftIndent + para.firstIndent);
        if (para.sl != 0) {
            if (para.slMult) {
                if (para.sl > 0) style.lineHeightMultiple = para.sl / 240.0;
            } else if (para.sl > 0) {
                style.minimumLineHeight = points(para.sl);
            } else {
                style.minimumLineHeight = style.maximumLineHeight = points(-para.sl);
            }
        }
        if (para.slMinimum >= 0) style.minimumLineHeight = points(para.slMinimum);
        if (para.slMaximum >= 0) style.maximumLineHeight = points(para.slMaximum);
        if (para.listOverride > 0) {
            const auto override = m_listOverrides.constFind(para.listOverride);
            const int listId = override == m_listOverrides.cend() ? para.listOverride : *override;
            const auto list = m_lists.constFind(listId);
            if (list != m_lists.cend()) {
                for (int level = 0; level <= para.listLevel && level < list->size() && level < 9; ++level) {
                    const ListLevel& def = list->at(level);
                    style.textLists.append({markerFormat(def, level), def.startAt});
                }
            }
        }
        m_cachedPara = para;
        m_cachedParagraphAttributes = PLTextAttributes();
        if (!style.isDefault()) m_cachedParagraphAttributes.paragraphStyle = style;
        m_haveCachedPara = true;
    }
    if (m_cachedParagraphAttributes.paragraphStyle)
        m_out.addAttributes(m_cachedParagraphAttributes, PLRange(m_paragraphStart, m_out.length() - m_paragraphStart));
    m_paragraphStart = m_out.length();
}

void Parser::emitAttachment(const PLTextAttachmentPtr& attachment)
{
    if (top().dest != Dest::Text || top().ch.hidden) return;
    flushBuffer();
    PLTextAttributes attributes = currentAttributes();
    attributes.attachment = attachment;
    m_out.append(QString(QChar(PLAttributedString::AttachmentCharacter)), attributes);
}

std::optional<QColor> Parser::colorAt(int index) const
{
    if (index < 0 || size_t(index) >= m_colors.size()) return std::nullopt;
    return m_colors[size_t(index)];
}

PLTextAttributes Parser::currentAttributes()
{
    return attributesOf(top().ch);
}

PLTextAttributes Parser::attributesOf(const CharState& ch)
{
    PLTextAttributes a;
    const double size = ch.fontSizeMilli > 0 ? ch.fontSizeMilli / 1000.0 : ch.fontSize / 2.0;
    const auto font = m_fonts.constFind(ch.font);
    if (font != m_fonts.cend())
        a.font = PLFont(font->family, size, ch.bold || font->bold, ch.italic || font->italic);
    else if (ch.fontSize != DefaultFontSize || ch.fontSizeMilli > 0 || ch.bold || ch.italic)
        a.font = PLFont(QString(), size, ch.bold, ch.italic);
    a.foregroundColor = colorAt(ch.foreground);
    a.backgroundColor = colorAt(ch.background);
    if (ch.underline) {
        a.underlineStyle = ch.underline;
        a.underlineColor = colorAt(ch.underlineColor);
    }
    if (ch.strike) {
        a.strikethroughStyle = ch.strike;
        a.strikethroughColor = colorAt(ch.strikeColor);
    }
    if (ch.superscript) a.superscript = ch.superscript;
    if (ch.baseline) a.baselineOffset = ch.baseline / 2.0;
    if (!ch.link.isEmpty()) a.link = ch.link;
    return a;
}

void Parser::finishFont()
{
    QString name = m_fontName.trimmed();
    if (m_fontNumber >= 0 && !name.isEmpty()) {
        FontEntry entry;
        entry.family = PLFont::familyFromName(name, &entry.bold, &entry.italic);
        if (entry.family.isEmpty()) entry.family = name.simplified(); // a name such as "-" that holds no family part
        entry.codePage = m_fontCodePage > 0 ? m_fontCodePage : PLCodePage::forCharset(m_fontCharset);
        m_fonts.insert(m_fontNumber, entry);
    }
    m_fontName.clear();
    m_fontNumber = -1;
    m_fontCharset = -1;
    m_fontCodePage = 0;
    m_attributesDirty = true;
}

void Parser::finishColor()
{
    if (m_red < 0 && m_green < 0 && m_blue < 0)
        m_colors.emplace_back(std::nullopt);
    else
        m_colors.emplace_back(QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255), std::clamp(m_blue, 0, 255)));
    m_red = m_green = m_blue = -1;
}

void Parser::finishExpandedColor()
{
    std::optional<QColor> color;
    const auto component = [&](size_t i) { return std::clamp(m_components[i] / 100000.0, 0.0, 1.0); };
    if (m_colorSpace == Kw::ColorSpaceRGB && m_components.size() >= 3)
        color = QColor::fromRgbF(component(0), component(1), component(2), m_components.size() >= 4 ? component(3) : 1.0);
    else if (m_colorSpace == Kw::ColorSpaceGray && !m_components.empty())
        color = QColor::fromRgbF(component(0), component(0), component(0), m_components.size() >= 2 ? component(1) : 1.0);
    m_expandedColors.push_back(color);
    m_components.clear();
    m_colorSpace = Kw::C;
}

void Parser::finishPicture()
{
    Picture picture = std::move(m_picture);
    m_picture = Picture();
    if (picture.damaged || picture.data.isEmpty() || picture.extension.isEmpty()) return;
    if (picture.extension == "bmp") {
        picture.data = bmpFromDib(picture.data);
        if (picture.data.isEmpty()) return;
    }
    const QByteArray sniffed = sniffExtension(picture.data);
    const QByteArray extension = sniffed.isEmpty() ? picture.extension : sniffed;
    QString name = picture.name.trimmed().isEmpty() ? QStringLiteral("Picture%1").arg(++m_pictureCount)
                                                    : PLTextAttachment::safeFileName(picture.name);
    if (!name.endsWith(QLatin1Char('.') + QString::fromLatin1(extension), Qt::CaseInsensitive)
        && !(extension == "jpg" && name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive)))
        name += QLatin1Char('.') + QString::fromLatin1(extension);
    QSizeF displaySize;
    if (picture.wGoal > 0 && picture.hGoal > 0 && picture.scaleX > 0 && picture.scaleY > 0) {
        // In whole twips, as sizes are written.
        const double width = std::round(double(picture.wGoal) * picture.scaleX / 100.0) / 20.0;
        const double height = std::round(double(picture.hGoal) * picture.scaleY / 100.0) / 20.0;
        if (width > 0 && height > 0 && width < 1e6 && height < 1e6) displaySize = QSizeF(width, height);
    }
    auto attachment = PLTextAttachment::make(name, picture.data);
    // A picture shown at its natural size keeps no size of its own.
    const QSizeF natural = attachment->naturalSize();
    if (!displaySize.isEmpty() && !(std::lround(natural.width() * 20) == std::lround(displaySize.width() * 20)
                                    && std::lround(natural.height() * 20) == std::lround(displaySize.height() * 20)))
        attachment = PLTextAttachment::make(name, picture.data, displaySize);
    emitAttachment(attachment);
}

void Parser::finishAttachmentReference(Frame& closing)
{
    const QString name = closing.destText.trimmed();
    if (name.isEmpty() || m_frames.empty()) return;
    QByteArray contents;
    if (m_files) {
        if (std::optional<QByteArray> bytes = m_files(name)) contents = std::move(*bytes);
    }
    const QString fileName = PLTextAttachment::safeFileName(name);
    auto attachment = PLTextAttachment::make(fileName, contents);
    const int width = closing.referenceWidth;
    const int height = closing.referenceHeight;
    if (width > 0 && height > 0 && width < 20000000 && height < 20000000) {
        const QSizeF natural = attachment->naturalSize();
        if (!(std::lround(natural.width() * 20) == width && std::lround(natural.height() * 20) == height))
            attachment = PLTextAttachment::make(fileName, contents, QSizeF(points(width), points(height)));
    }
    emitAttachment(attachment);
    top().swallowNext = true;
}

void Parser::handleWord(std::string_view name, bool hasParam, int param)
{
    if (name != "bin") flushBytes();
    if (m_ucSkip > 0) {
        --m_ucSkip;
        if (name == "bin" && hasParam) readBinary(param, nullptr);
        return;
    }
    const auto& table = keywords();
    const auto found = table.find(name);
    Frame& frame = top();
    const bool ignorable = frame.ignorable;
    frame.ignorable = false;
    if (found == table.end()) {
        if (ignorable) skipGroup();
        else if (frame.dest == Dest::NeXTGraphic) frame.nameDone = true;
        return;
    }
    const Kw kw = found->second;
    const bool on = !hasParam || param != 0;
    CharState& ch = frame.ch;
    ParaState& para = frame.para;
    const Dest dest = frame.dest;

    if (dest == Dest::NeXTGraphic && kw != Kw::U && kw != Kw::Uc) {
        // The file name runs up to the first control word that is not a character.
        frame.nameDone = true;
        if (kw == Kw::Width) frame.referenceWidth = param;
        else if (kw == Kw::Height) frame.referenceHeight = param;
        return;
    }

    switch (kw) {
    // destinations
    case Kw::FontTable: frame.dest = Dest::FontTable; break;
    case Kw::ColorTable: frame.dest = Dest::ColorTable; m_colors.clear(); break;
    case Kw::ExpandedColorTable:
        frame.dest = Dest::ExpandedColorTable;
        m_expandedColors.clear();
        m_components.clear();
        break;
    case Kw::Info: frame.dest = Dest::Info; break;
    case Kw::InfoText:
        if (dest == Dest::Info) {
            frame.dest = Dest::InfoText;
            frame.infoKey = QString::fromLatin1(name.data(), qsizetype(name.size()));
        } else if (ignorable) {
            skipGroup();
        }
        break;
    case Kw::InfoTime:
        if (dest == Dest::Info) {
            frame.dest = Dest::InfoTime;
            frame.infoKey = QString::fromLatin1(name.data(), qsizetype(name.size()));
            m_time = {};
        }
        break;
    case Kw::InfoSkip:
        if (dest == Dest::Info) skipGroup();
        break;
    case Kw::Pict:
        if (m_picture.active || (dest != Dest::Text && dest != Dest::Ignore)) {
            skipGroup();
        } else {
            frame.dest = Dest::Pict;
            m_picture = Picture();
            m_picture.active = true;
        }
        break;
    case Kw::PicProp:
        if (frame.parentDest == Dest::Pict) {
            frame.dest = Dest::ShapeGroup;
            frame.shapePurpose = ShapePurpose::Picture;
        } else {
            skipGroup();
        }
        break;
    case Kw::ShpPict: break; // holds the picture as a destination of ordinary text
    case Kw::Field:
        if (dest == Dest::Text) frame.fieldFrame = int(m_frames.size()) - 1;
        break;
    case Kw::FldInst:
        if (frame.fieldFrame >= 0) frame.dest = Dest::FieldInst;
        else skipGroup();
        break;
    case Kw::FldRslt:
        if (frame.fieldFrame >= 0 && size_t(frame.fieldFrame) < m_frames.size()) {
            const QString target = hyperlinkTarget(m_frames[size_t(frame.fieldFrame)].destText);
            if (!target.isEmpty()) ch.link = target;
            frame.dest = Dest::Text;
            m_attributesDirty = true;
        }
        break;
    case Kw::NeXTGraphic:
        if (dest == Dest::Text) {
            frame.dest = Dest::NeXTGraphic;
            frame.destText.clear();
            frame.referenceWidth = frame.referenceHeight = 0;
        } else {
            skipGroup();
        }
        break;
    case Kw::ListTable: frame.dest = Dest::ListTable; break;
    case Kw::List:
        if (dest == Dest::ListTable) {
            frame.dest = Dest::List;
            m_currentList.clear();
            m_currentListId = 0;
        }
        break;
    case Kw::ListLevel:
        if (dest == Dest::List) {
            frame.dest = Dest::ListLevel;
            m_currentLevel = ListLevel();
        }
        break;
    case Kw::LevelText:
        if (dest == Dest::ListLevel) frame.dest = Dest::LevelText;
        break;
    case Kw::LevelMarker:
        if (dest == Dest::ListLevel) frame.dest = Dest::LevelMarker;
        else skipGroup();
        break;
    case Kw::ListOverrideTable: frame.dest = Dest::ListOverrideTable; break;
    case Kw::ListOverride:
        if (dest == Dest::ListOverrideTable) {
            frame.dest = Dest::ListOverride;
            m_overrideListId = m_overrideNumber = 0;
        }
        break;
    case Kw::Background:
        frame.dest = Dest::ShapeGroup;
        frame.shapePurpose = ShapePurpose::Background;
        break;
    case Kw::ShpInst:
        if (dest != Dest::ShapeGroup) skipGroup();
        break;
    case Kw::Sp:
        if (dest == Dest::ShapeGroup) frame.dest = Dest::ShapeProperty;
        break;
    case Kw::Sn:
        if (dest == Dest::ShapeGroup) frame.dest = Dest::ShapePropertyName;
        break;
    case Kw::Sv:
        if (dest == Dest::ShapeGroup) frame.dest = Dest::ShapePropertyValue;
        break;
    case Kw::SkipDestination: skipGroup(); break;

    // character formatting
    case Kw::Plain: {
        const int uc = ch.uc;
        const QString link = ch.link;
        ch = CharState();
        ch.uc = uc;
        ch.link = link;
        ch.font = m_defaultFont;
        m_attributesDirty = true;
        break;
    }
    case Kw::F:
        if (dest == Dest::FontTable) {
            if (m_fontNumber >= 0 && !m_fontName.trimmed().isEmpty()) finishFont();
            m_fontNumber = param;
        } else {
            ch.font = param;
            m_attributesDirty = true;
        }
        break;
    case Kw::Fs:
        if (hasParam && param > 0 && param <= 32767) ch.fontSize = param;
        else if (!hasParam) ch.fontSize = DefaultFontSize;
        ch.fontSizeMilli = 0;
        m_attributesDirty = true;
        break;
    case Kw::FsMilli:
        if (hasParam && param >= 500 && param <= 16383000) ch.fontSizeMilli = param;
        m_attributesDirty = true;
        break;
    case Kw::B: ch.bold = on; m_attributesDirty = true; break;
    case Kw::I: ch.italic = on; m_attributesDirty = true; break;
    case Kw::V: ch.hidden = on; break;
    case Kw::Ul:
    case Kw::UlDotted:
    case Kw::UlDash:
    case Kw::UlDashDot:
    case Kw::UlDashDotDot:
    case Kw::UlDouble:
    case Kw::UlThick:
    case Kw::UlThickDotted:
    case Kw::UlThickDash:
    case Kw::UlThickDashDot:
    case Kw::UlThickDashDotDot:
    case Kw::UlWord:
    case Kw::UlWave:
        ch.underline = on ? underlineStyle(kw) : 0;
        m_attributesDirty = true;
        break;
    case Kw::UlNone: ch.underline = 0; m_attributesDirty = true; break;
    case Kw::UlC: ch.underlineColor = param; m_attributesDirty = true; break;
    case Kw::Strike: ch.strike = on ? PLTextAttributes::LineStyleSingle : 0; m_attributesDirty = true; break;
    case Kw::StrikeD: ch.strike = on ? PLTextAttributes::LineStyleDouble : 0; m_attributesDirty = true; break;
    case Kw::StrikeC: ch.strikeColor = param; m_attributesDirty = true; break;
    case Kw::Super:
        ch.superscript = hasParam ? std::clamp(param, 0, 100) : 1;
        m_attributesDirty = true;
        break;
    case Kw::Sub:
        ch.superscript = hasParam ? -std::clamp(param, 0, 100) : -1;
        m_attributesDirty = true;
        break;
    case Kw::NoSuperSub: ch.superscript = 0; m_attributesDirty = true; break;
    case Kw::Up: ch.baseline = hasParam ? std::clamp(param, -32767, 32767) : 6; m_attributesDirty = true; break;
    case Kw::Dn: ch.baseline = hasParam ? -std::clamp(param, -32767, 32767) : -6; m_attributesDirty = true; break;
    case Kw::Cf: ch.foreground = param; m_attributesDirty = true; break;
    case Kw::Cb:
    case Kw::Highlight: ch.background = param; m_attributesDirty = true; break;
    case Kw::Uc: ch.uc = std::clamp(param, 0, 16); break;
    case Kw::U: {
        const int code = param < 0 ? param + 65536 : param;
        if (code >= 0 && code <= 0xFFFF) emitUnicode(char16_t(code));
        m_ucSkip = ch.uc;
        break;
    }

    // paragraph formatting
    case Kw::Pard: para = ParaState(); break;
    case Kw::Ql: para.style.alignment = PLParagraphStyle::Alignment::Left; break;
    case Kw::Qr: para.style.alignment = PLParagraphStyle::Alignment::Right; break;
    case Kw::Qc: para.style.alignment = PLParagraphStyle::Alignment::Center; break;
    case Kw::Qj: para.style.alignment = PLParagraphStyle::Alignment::Justified; break;
    case Kw::Li: para.leftIndent = lengthParam(param); break;
    case Kw::Ri: para.style.rightIndent = points(lengthParam(param)); break;
    case Kw::Fi: para.firstIndent = lengthParam(param); break;
    case Kw::Sb: para.style.spacingBefore = points(lengthParam(param)); break;
    case Kw::Sa: para.style.spacingAfter = points(lengthParam(param)); break;
    case Kw::Sl: para.sl = hasParam ? lengthParam(param) : 0; break;
    case Kw::SlMult: para.slMult = on; break;
    case Kw::SlLeading: para.style.lineSpacing = points(lengthParam(param)); break;
    case Kw::SlMinimum: para.slMinimum = std::clamp(param, 0, MaximumTwips); break;
    case Kw::SlMaximum: para.slMaximum = std::clamp(param, 0, MaximumTwips); break;
    case Kw::Tqr: para.tabKind = PLParagraphStyle::TabStop::Kind::Right; break;
    case Kw::Tqc: para.tabKind = PLParagraphStyle::TabStop::Kind::Center; break;
    case Kw::Tqdec: para.tabKind = PLParagraphStyle::TabStop::Kind::Decimal; break;
    case Kw::Tx:
    case Kw::Tb:
        if (para.style.tabStops.size() < 1000) para.style.tabStops.append({points(lengthParam(param)), para.tabKind});
        para.tabKind = PLParagraphStyle::TabStop::Kind::Left;
        break;
    case Kw::ParDefTab: para.style.defaultTabInterval = points(std::clamp(param, 0, MaximumTwips)); break;
    case Kw::LtrPar: para.style.writingDirection = PLParagraphStyle::WritingDirection::LeftToRight; break;
    case Kw::RtlPar: para.style.writingDirection = PLParagraphStyle::WritingDirection::RightToLeft; break;
    case Kw::ParDirNatural: para.style.writingDirection = PLParagraphStyle::WritingDirection::Natural; break;
    case Kw::Ls:
        if (dest == Dest::ListOverride) m_overrideNumber = param;
        else para.listOverride = param;
        break;
    case Kw::Ilvl: para.listLevel = std::clamp(param, 0, 8); break;

    // document
    case Kw::Ansi: m_documentCodePage = PLCodePage::Windows1252; break;
    case Kw::Mac: m_documentCodePage = 10000; break;
    case Kw::Pc: m_documentCodePage = 437; break;
    case Kw::Pca: m_documentCodePage = 850; break;
    case Kw::AnsiCpg: if (param > 0) m_documentCodePage = param; break;
    case Kw::Deff:
        m_defaultFont = param;
        if (m_frames.size() == 1) ch.font = param;
        break;
    case Kw::PaperW: documentAttributes.paperSize = QSizeF(points(lengthParam(param)), documentAttributes.paperSize.value_or(QSizeF()).height()); break;
    case Kw::PaperH: documentAttributes.paperSize = QSizeF(documentAttributes.paperSize.value_or(QSizeF()).width(), points(lengthParam(param))); break;
    case Kw::MargL: documentAttributes.leftMargin = points(lengthParam(param)); break;
    case Kw::MargR: documentAttributes.rightMargin = points(lengthParam(param)); break;
    case Kw::MargT: documentAttributes.topMargin = points(lengthParam(param)); break;
    case Kw::MargB: documentAttributes.bottomMargin = points(lengthParam(param)); break;
    case Kw::Landscape: documentAttributes.landscape = on; break;
    case Kw::ViewW: documentAttributes.viewSize = QSizeF(points(lengthParam(param)), documentAttributes.viewSize.value_or(QSizeF()).height()); break;
    case Kw::ViewH: documentAttributes.viewSize = QSizeF(documentAttributes.viewSize.value_or(QSizeF()).width(), points(lengthParam(param))); break;
    case Kw::ViewKind: documentAttributes.viewMode = param == 1 ? PLDocumentAttributes::ViewMode::PageLayout : PLDocumentAttributes::ViewMode::Normal; break;
    case Kw::ViewScale: documentAttributes.viewZoom = param; break;
    case Kw::DefTab: documentAttributes.defaultTabInterval = points(lengthParam(param)); break;
    case Kw::ReadOnlyDoc: documentAttributes.readOnly = on; break;
    case Kw::HyphFactor: documentAttributes.hyphenationFactor = std::clamp(param, 0, 100) / 100.0; break;

    // special characters
    case Kw::Par: endParagraph(); break;
    case Kw::Line: emitCharacter(0x2028); break;
    case Kw::Tab: emitCharacter('\t'); break;
    case Kw::Page: emitCharacter(0x000C); break;
    case Kw::EmDash: emitCharacter(0x2014); break;
    case Kw::EnDash: emitCharacter(0x2013); break;
    case Kw::EmSpace: emitCharacter(0x2003); break;
    case Kw::EnSpace: emitCharacter(0x2002); break;
    case Kw::QmSpace: emitCharacter(0x2005); break;
    case Kw::Bullet: emitCharacter(0x2022); break;
    case Kw::LQuote: emitCharacter(0x2018); break;
    case Kw::RQuote: emitCharacter(0x2019); break;
    case Kw::LDblQuote: emitCharacter(0x201C); break;
    case Kw::RDblQuote: emitCharacter(0x201D); break;
    case Kw::Zwj: emitCharacter(0x200D); break;
    case Kw::Zwnj: emitCharacter(0x200C); break;
    case Kw::LtrMark: emitCharacter(0x200E); break;
    case Kw::RtlMark: emitCharacter(0x200F); break;

    // tables
    case Kw::FCharset: if (dest == Dest::FontTable) m_fontCharset = param; break;
    case Kw::Cpg: if (dest == Dest::FontTable) m_fontCodePage = param; break;
    case Kw::Red: m_red = param; break;
    case Kw::Green: m_green = param; break;
    case Kw::Blue: m_blue = param; break;
    case Kw::ColorSpaceRGB:
    case Kw::ColorSpaceGray:
        m_colorSpace = kw;
        m_components.clear();
        break;
    case Kw::C: if (m_components.size() < 8) m_components.push_back(param); break;

    // pictures
    case Kw::PngBlip: if (dest == Dest::Pict) m_picture.extension = "png"; break;
    case Kw::JpegBlip: if (dest == Dest::Pict) m_picture.extension = "jpg"; break;
    case Kw::EmfBlip: if (dest == Dest::Pict) m_picture.extension = "emf"; break;
    case Kw::WMetafile: if (dest == Dest::Pict) m_picture.extension = "wmf"; break;
    case Kw::MacPict: if (dest == Dest::Pict) m_picture.extension = "pict"; break;
    case Kw::DiBitmap: if (dest == Dest::Pict) m_picture.extension = "bmp"; break;
    case Kw::PicW:
    case Kw::PicH: break;
    case Kw::PicWGoal: m_picture.wGoal = param; break;
    case Kw::PicHGoal: m_picture.hGoal = param; break;
    case Kw::PicScaleX: m_picture.scaleX = param; break;
    case Kw::PicScaleY: m_picture.scaleY = param; break;
    case Kw::Bin:
        if (!hasParam) break;
        readBinary(param, dest == Dest::Pict ? &m_picture.data : nullptr);
        break;
    case Kw::Width:
    case Kw::Height: break;

    // lists
    case Kw::ListId:
        if (dest == Dest::List) m_currentListId = param;
        else if (dest == Dest::ListOverride) m_overrideListId = param;
        break;
    case Kw::LevelNfc: if (dest == Dest::ListLevel) m_currentLevel.nfc = param; break;
    case Kw::LevelStartAt: if (dest == Dest::ListLevel) m_currentLevel.startAt = param; break;

    // tables
    case Kw::InTbl: para.inTable = on; break;
    case Kw::Itap: para.itap = std::clamp(param, 0, PLTextTableBlock::MaximumNesting); break;
    case Kw::Cell: endCell(std::max(1, currentTableLevel())); break;
    case Kw::NestCell: endCell(std::max(2, currentTableLevel())); break;
    case Kw::Row: endRow(std::max(1, currentTableLevel())); break;
    case Kw::NestRow: endRow(std::max(2, currentTableLevel())); break;
    case Kw::NestTableProps: break; // holds the definition and the end of a nested row
    case Kw::TRowD: {
        m_definitionLevel = std::max(1, currentTableLevel());
        TableLevel& level = tableLevel(m_definitionLevel);
        level.definitions.clear();
        level.building = CellDefinition();
        level.rowLeft = level.gap = 0;
        m_borderEdge = -1;
        break;
    }
    case Kw::TrLeft: tableLevel(m_definitionLevel).rowLeft = lengthParam(param); break;
    case Kw::TrGaph: tableLevel(m_definitionLevel).gap = std::clamp(param, 0, MaximumTwips); break;
    case Kw::CellX: {
        TableLevel& level = tableLevel(m_definitionLevel);
        CellDefinition definition = level.building;
        definition.right = lengthParam(param);
        for (size_t edge = 0; edge < 4; ++edge)
            if (definition.settings.borderWidths[edge] == 0) definition.settings.borderColors[edge].reset();
        if (level.definitions.size() < 1000) level.definitions.push_back(definition);
        level.building = CellDefinition();
        m_borderEdge = -1;
        break;
    }
    case Kw::ClBorder:
        m_borderEdge = name == "clbrdrt" ? PLTextTableBlock::Top : name == "clbrdrl" ? PLTextTableBlock::Left
                     : name == "clbrdrb" ? PLTextTableBlock::Bottom : PLTextTableBlock::Right;
        tableLevel(m_definitionLevel).building.settings.borderWidths[size_t(m_borderEdge)] = 0.5;
        break;
    case Kw::RowBorder: m_borderEdge = -1; break;
    case Kw::BorderStyle: break;
    case Kw::BorderNone:
        if (m_borderEdge >= 0) tableLevel(m_definitionLevel).building.settings.borderWidths[size_t(m_borderEdge)] = 0;
        m_borderEdge = -1;
        break;
    case Kw::BrdrW:
        if (m_borderEdge >= 0)
            tableLevel(m_definitionLevel).building.settings.borderWidths[size_t(m_borderEdge)] = points(std::clamp(param, 0, 255));
        break;
    case Kw::BrdrCf:
        if (m_borderEdge >= 0) tableLevel(m_definitionLevel).building.settings.borderColors[size_t(m_borderEdge)] = colorAt(param);
        break;
    case Kw::ClPad: {
        const size_t edge = name == "clpadt" ? PLTextTableBlock::Top : name == "clpadl" ? PLTextTableBlock::Left
                          : name == "clpadb" ? PLTextTableBlock::Bottom : PLTextTableBlock::Right;
        tableLevel(m_definitionLevel).building.settings.padding[edge] = points(std::clamp(param, 0, 31680));
        break;
    }
    case Kw::ClCbPat: tableLevel(m_definitionLevel).building.settings.backgroundColor = colorAt(param); break;
    case Kw::ClVertAlT: tableLevel(m_definitionLevel).building.settings.verticalAlignment = PLTextTableBlock::VerticalAlignment::Top; break;
    case Kw::ClVertAlC: tableLevel(m_definitionLevel).building.settings.verticalAlignment = PLTextTableBlock::VerticalAlignment::Middle; break;
    case Kw::ClVertAlB: tableLevel(m_definitionLevel).building.settings.verticalAlignment = PLTextTableBlock::VerticalAlignment::Bottom; break;
    case Kw::ClMgf:
    case Kw::ClVmgf: break; // a merge is seen from the cells that continue it
    case Kw::ClMrg: tableLevel(m_definitionLevel).building.mergeNext = true; break;
    case Kw::ClVmrg: tableLevel(m_definitionLevel).building.vmergeNext = true; break;
    case Kw::ClFtsWidth: tableLevel(m_definitionLevel).building.autoWidth = param == 1; break;
    case Kw::ListText:
        if (dest == Dest::Text) {
            frame.dest = Dest::ListText;
            frame.fieldFrame = -1; // a label is plain text, never part of a link
            m_listLabel.clear();
        } else {
            skipGroup();
        }
        break;

    // times
    case Kw::Yr: m_time[0] = std::clamp(param, 0, 9999); break;
    case Kw::Mo: m_time[1] = std::clamp(param, 0, 12); break;
    case Kw::Dy: m_time[2] = std::clamp(param, 0, 31); break;
    case Kw::Hr: m_time[3] = std::clamp(param, 0, 23); break;
    case Kw::Min: m_time[4] = std::clamp(param, 0, 59); break;
    case Kw::Sec: m_time[5] = std::clamp(param, 0, 59); break;
    }
}

} // namespace

bool PLRTFReader::isRTF(const QByteArray& data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
    return QByteArrayView(data.constData() + i, data.size() - i).startsWith("{\\rtf");
}

std::optional<PLAttributedString> PLRTFReader::read(const QByteArray& data, PLDocumentAttributes* documentAttributes,
                                                    PLError* error, const FileLookup& files)
{
    if (!isRTF(data)) {
        PLSetError(error, PLError(QStringLiteral("Ideaflux"), NotRTFError,
                                  {{PLError::FailureReasonKey, QStringLiteral("The data is not RTF")}}));
        return std::nullopt;
    }
    Parser parser(data, files);
    PLAttributedString text = parser.run();
    if (documentAttributes) *documentAttributes = parser.documentAttributes;
    if (parser.error) PLSetError(error, parser.error);
    return text;
}
