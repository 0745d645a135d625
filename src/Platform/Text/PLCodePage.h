#pragma once

#include <QByteArray>
#include <QString>

// Windows code pages as rich text names them: decoding bytes to text, and the code page
// 1252 encoding that RTF is written in.
class PLCodePage {
public:
    static constexpr int Windows1252 = 1252;

    // The code page of an RTF font character set (\fcharset), or 0 for the document's own.
    static int forCharset(int charset);
    // True for the code pages whose characters take one byte each.
    static bool isSingleByte(int codePage);
    // Decodes bytes in a code page; unknown code pages decode as 1252.
    static QString decode(const char* data, qsizetype size, int codePage);
    static QString decode(const QByteArray& bytes, int codePage) { return decode(bytes.constData(), bytes.size(), codePage); }
    // The 1252 byte of a character, or -1 when 1252 has none.
    static int encode1252(char16_t character);
    // The character of a 1252 byte (the five bytes 1252 leaves unused map to themselves).
    static char16_t decode1252(unsigned char byte);
};
