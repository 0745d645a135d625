#pragma once

#include "Platform/PLAttributedString.h"
#include "Platform/PLDocumentAttributes.h"
#include "Platform/PLError.h"

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
// only as far as the bytes go, and nothing is allocated from a size the file states. On a
// fault it stops and returns the text read so far together with an error.
class PLRTFReader {
public:
    enum ErrorCode {
        NotRTFError = 1,     // the data does not begin with "{\rtf"
        MalformedError = 2,  // invalid hexadecimal digits, a bad \bin, braces after the end
        TruncatedError = 3,  // the data ends inside a group or a \bin
        TooDeepError = 4,    // groups nested deeper than MaximumNesting
    };
    static constexpr int MaximumNesting = 1000;

    // The bytes of a file of the RTFD folder, by its name; nullopt when there is none.
    using FileLookup = std::function<std::optional<QByteArray>(const QString& fileName)>;

    // The text, or nullopt when the data is not RTF at all. The document attributes found in
    // the header are stored in *documentAttributes. When the data is damaged, the text read
    // before the fault is returned and *error says what was wrong. Attachment references are
    // resolved through files; without it (or for a missing file) the attachment keeps its
    // name and has no bytes.
    static std::optional<PLAttributedString> read(const QByteArray& data, PLDocumentAttributes* documentAttributes = nullptr,
                                                  PLError* error = nullptr, const FileLookup& files = {});

    // True when the data begins (after white space) with "{\rtf".
    static bool isRTF(const QByteArray& data);
};
