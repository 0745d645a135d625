#include "Platform/Text/PLCodePage.h"

#include <QStringDecoder>

#include <mutex>
#include <unordered_map>

namespace {

// Bytes 0x80-0x9F of code page 1252; the rest is Latin-1.
const char16_t high1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char* decoderName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 708: return "ISO-8859-6";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 866: return "IBM866";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 1361: return "johab";
    case 10000: return "macintosh";
    case 10001: return "x-mac-japanese";
    case 10006: return "x-mac-greek";
    case 10007: return "x-mac-cyrillic";
    case 10029: return "x-mac-centraleurroman";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

} // namespace

int PLCodePage::forCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 78: return 10001;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 437;
    default: return 0; // 0 ANSI, 1 default, 2 symbol and the rest: the document's code page
    }
}

bool PLCodePage::isSingleByte(int codePage)
{
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 10001:
    case 65001: return false;
    default: return true;
    }
}

char16_t PLCodePage::decode1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? high1252[byte - 0x80] : char16_t(byte);
}

int PLCodePage::encode1252(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return character;
    for (int i = 0; i < 32; ++i)
        if (high1252[i] == character) return 0x80 + i;
    return -1;
}

QString PLCodePage::decode(const char* data, qsizetype size, int codePage)
{
    const char* name = codePage == Windows1252 ? nullptr : decoderName(codePage);
    if (name) {
        // Decoders are made once per code page; decoding itself keeps no state between calls.
        static std::mutex mutex;
        static std::unordered_map<int, bool> available;
        bool ok;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto it = available.find(codePage);
            if (it == available.end()) it = available.emplace(codePage, QStringDecoder(name).isValid()).first;
            ok = it->second;
        }
        if (ok) {
            QStringDecoder decoder(name, QStringDecoder::Flag::Stateless);
            return decoder.decode(QByteArrayView(data, size));
        }
    }
    QString result(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (qsizetype i = 0; i < size; ++i) out[i] = decode1252(static_cast<unsigned char>(data[i]));
    return result;
}
