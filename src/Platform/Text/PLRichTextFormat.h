#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLDocumentAttributes.h"
#include "Platform/Core/PLError.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The forms rich text is stored in, told apart by their first bytes, and the plain-text form
// for data that is neither RTF nor RTFD.
class PLRichTextFormat {
public:
    enum class Kind { RTF, RTFD, PlainText };

    static Kind detect(const QByteArray& data);

    // Data in the detected form: RTF, an RTFD blob, or plain text. Errors as the readers give
    // them; plain text always reads.
    static std::optional<PLAttributedString> read(const QByteArray& data, PLDocumentAttributes* documentAttributes = nullptr,
                                                  PLError* error = nullptr);

    // Plain text as rich text without attributes: UTF-16 when the data starts with a
    // byte-order mark, else UTF-8 (a UTF-8 byte-order mark is dropped, invalid sequences
    // become U+FFFD).
    static PLAttributedString fromPlainTextData(const QByteArray& data);

    // The text without its attachment characters, line and paragraph separators as "\n".
    static QString plainText(const PLAttributedString& text);
};
