#include "Platform/Core/PLUUID.h"

#include <QRandomGenerator>

#include <array>
#include <cstring>

QString PLUUID::newIdString()
{
    // The system's random source is read in blocks: a read per id costs more than the rest of
    // making it, and a pasted map makes one for each of its branches.
    constexpr qsizetype WordsPerId = 4;
    thread_local std::array<quint32, 256 * WordsPerId> pool;
    thread_local qsizetype next = pool.size();
    if (next + WordsPerId > qsizetype(pool.size())) {
        QRandomGenerator::system()->fillRange(pool.data(), qsizetype(pool.size()));
        next = 0;
    }
    unsigned char bytes[16];
    std::memcpy(bytes, pool.data() + next, sizeof bytes);
    next += WordsPerId;
    // A random (version 4, RFC 4122 variant) UUID.
    bytes[6] = (bytes[6] & 0x0F) | 0x40;
    bytes[8] = (bytes[8] & 0x3F) | 0x80;
    static constexpr char Digits[] = "0123456789ABCDEF";
    QString id(2 * qsizetype(sizeof bytes), Qt::Uninitialized);
    QChar* out = id.data();
    for (const unsigned char byte : bytes) {
        *out++ = QLatin1Char(Digits[byte >> 4]);
        *out++ = QLatin1Char(Digits[byte & 0x0F]);
    }
    return id;
}
