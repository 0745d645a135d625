#include "Platform/Core/PLUUID.h"

#include <QUuid>

QString PLUUID::newIdString()
{
    // Written out once in upper case: a map of 100,000 new branches asks for as many ids, and
    // toString() and toUpper() made two strings for each.
    const QUuid uuid = QUuid::createUuid();
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    QString id(32, Qt::Uninitialized);
    QChar* out = id.data();
    const auto put = [&out](quint32 value, int count) {
        for (int shift = 4 * (count - 1); shift >= 0; shift -= 4) *out++ = QChar(digits[(value >> shift) & 0xF]);
    };
    put(uuid.data1, 8);
    put(uuid.data2, 4);
    put(uuid.data3, 4);
    for (const uchar byte : uuid.data4) put(byte, 2);
    return id;
}
