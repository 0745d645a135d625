#pragma once

#include "Platform/Text/PLAttributedString.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

class QTextDocument;

// Conversions between rich text and Qt's QTextDocument, for the editors: every attribute
// that both sides know is mapped, and what Qt cannot show (underline and strikethrough
// styles beyond its own, superscript levels, baseline offsets, paragraph settings such as a
// maximum line height or list definitions) rides along in user properties of the formats,
// so that text that comes back unedited is the text that went in. Values that were edited
// in Qt win over the ones kept in the properties.
//
// Attachments become image objects: the document gets the attachment's bytes as an image
// resource under the image's name (Qt shows pictures from their bytes), and the format keeps
// the file name. Paragraphs end at "\n", "\r\n", "\r" and U+2029
// on the way in and come back as "\n". A paragraph in a QTextList comes back with its
// marker as text ("\t<marker>\t") and the list in its paragraph style, the way rich text
// keeps lists. Table cells become QTextTable cells (nested tables inside cells, spans as
// merged cells, borders, padding, background and vertical alignment in the cell formats);
// the empty blocks Qt needs before and after a table, and cells the text does not fill, are
// marked so that they do not come back as paragraphs.
class PLTextDocumentConversion {
public:
    enum Property {
        UnderlineStyleProperty = QTextFormat::UserProperty + 0x4C50,
        StrikethroughStyleProperty,
        StrikethroughColorProperty,
        SuperscriptProperty,
        BaselineOffsetProperty,
        ParagraphStyleProperty,
        AttachmentNameProperty,
        // On a block or a table cell: made only because a table needs it, no paragraph of the text.
        PlaceholderProperty,
        CellWidthProperty,
        // On a table cell: the format of the separator before the cell's first paragraph.
        SeparatorFormatProperty,
        // On a table: where its first column starts.
        TableLeftEdgeProperty,
        // On a table cell, four in a row (top, left, bottom, right): the border has no colour.
        BorderColorUnsetProperty,
    };

    // Replaces the document's contents with the text.
    static void toTextDocument(const PLAttributedString& text, QTextDocument* document);
    static PLAttributedString fromTextDocument(const QTextDocument* document);

    // The formats of single runs and paragraphs, for typing attributes and the like.
    static QTextCharFormat charFormat(const PLTextAttributes& attributes);
    static PLTextAttributes attributes(const QTextCharFormat& format);
    static QTextBlockFormat blockFormat(const PLParagraphStyle& style);
    static PLParagraphStyle paragraphStyle(const QTextBlockFormat& format);
    // The settings of a table cell; the table and the cell's place come from the QTextTable.
    static QTextTableCellFormat cellFormat(const PLTextTableBlock& block);
    static PLTextTableBlock textTableBlock(const QTextTableCellFormat& format);
};
