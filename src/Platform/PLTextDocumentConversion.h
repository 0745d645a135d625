#pragma once

#include "Platform/PLAttributedString.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>

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
// keeps lists.
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
    };

    // Replaces the document's contents with the text.
    static void toTextDocument(const PLAttributedString& text, QTextDocument* document);
    static PLAttributedString fromTextDocument(const QTextDocument* document);

    // The formats of single runs and paragraphs, for typing attributes and the like.
    static QTextCharFormat charFormat(const PLTextAttributes& attributes);
    static PLTextAttributes attributes(const QTextCharFormat& format);
    static QTextBlockFormat blockFormat(const PLParagraphStyle& style);
    static PLParagraphStyle paragraphStyle(const QTextBlockFormat& format);
};
