#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLDocumentAttributes.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Writes rich text as RTF in code page 1252 (other characters as \u), with a font table of
// family names, a colour table with its expanded table of exact components, list tables,
// the document attributes, and one \pard per change of paragraph style. Links become
// HYPERLINK fields.
//
// Attachments are written in one of two ways: as embedded pictures (\pict groups with the
// PNG or JPEG bytes, which word processors show; picture bytes that do not decode here are
// written as they are, and a file RTF cannot hold keeps its place and name in an ignorable
// reference, so no attachment is ever dropped), or as the
// references of RTFD text, "{{\NeXTGraphic <file> \width<w> \height<h>\n}¬}" naming a file
// of the folder that holds the attachment's bytes (see PLRTFDArchive).
class PLRTFWriter {
public:
    struct File {
        QString name;
        QByteArray contents;
    };

    static QByteArray write(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes = {});

    // The RTF of a text whose attachments are references to files; *files receives the
    // files in order of first reference, each attachment once, under unique names (never
    // "TXT.rtf").
    static QByteArray writeWithReferences(const PLAttributedString& text, const PLDocumentAttributes& documentAttributes,
                                          QList<File>* files);
};
