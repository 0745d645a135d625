#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLDocumentAttributes.h"
#include "Platform/Core/PLError.h"

#include <QByteArray>

#include <functional>
#include <optional>

// Reads RTF into rich text, as written by word processors and by rich-text editors:
// fonts with their character sets and code pages, \u with \uc, colour tables (with the
// expanded table of exact components), character and paragraph formatting, lists, fields
// for hyperlinks, \pict pictures and the attachment references of RTFD text ("\NeXTGraphic"
// groups naming a file of the folder). Unknown control words are ignored and ignorable
// destinations ({\*\...}) that it does not know are skipped.
//
// The reader never trusts the data: nesting is limited, \bin and picture data are taken
// only as far as the bytes go, and nothing is allocated from a size the file states. A
// damaged piece (an invalid \' escape, a picture with junk in its data) is dropped and the
// reading goes on. Damage to the structure is reported as an error, with everything that
// could be read: groups nested too deeply lend their text to the deepest group kept, text
// after a closing brace too many still counts, and at a truncation the text so far is kept.
// \u surrogates are paired; a lone one becomes U+FFFD.
class PLRTFReader {
public:
    enum ErrorCode {
        NotRTFError = 1,     // the data does not begin with "{\rtf"
        MalformedError = 2,  // text after the closing brace of the document
        TruncatedError = 3,  // the data ends inside a group or a \bin, or a \bin is negative
        TooDeepError = 4,    // groups nested deeper than MaximumNesting
    };
    static constexpr int MaximumNesting = 1000;

    // The bytes of a file of the RTFD folder, by its name; nullopt when there is none.
    using FileLookup = std::function<std::optional<QByteArray>(const QString& fileName)>;

    // The text, or nullopt when the data is not RTF at all. The document attributes found in
    // the header are stored in *documentAttributes. When the data is damaged, all the text
    // that could be read is returned and *error says what was wrong. Attachment references are
    // resolved through files; without it (or for a missing file) the attachment keeps its
    // name and has no bytes.
    static std::optional<PLAttributedString> read(const QByteArray& data, PLDocumentAttributes* documentAttributes = nullptr,
                                                  PLError* error = nullptr, const FileLookup& files = {});

    // True when the data begins (after white space) with "{\rtf".
    static bool isRTF(const QByteArray& data);
};
