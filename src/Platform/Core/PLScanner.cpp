#include "Platform/Core/PLScanner.h"

#include <algorithm>
#include <limits>

bool PLScanner::scanCharacter(QChar c)
{
    if (isAtEnd() || m_text.at(m_location) != c) return false;
    ++m_location;
    return true;
}

bool PLScanner::scanLongLong(qint64* value, int* digitCount)
{
    qsizetype at = m_location;
    while (at < m_text.size() && m_text.at(at).isSpace()) ++at;
    bool negative = false;
    if (at < m_text.size() && (m_text.at(at) == u'-' || m_text.at(at) == u'+')) {
        negative = m_text.at(at) == u'-';
        ++at;
    }
    qint64 result = 0;
    bool saturated = false;
    int digits = 0;
    for (; at < m_text.size(); ++at) {
        const char16_t c = m_text.at(at).unicode();
        if (c < u'0' || c > u'9') break;
        ++digits;
        // Accumulated toward the sign so that the most negative number is reachable.
        const int digit = negative ? -(c - u'0') : c - u'0';
        if (!saturated && (__builtin_mul_overflow(result, 10, &result) || __builtin_add_overflow(result, digit, &result)))
            saturated = true;
    }
    if (digits == 0) return false;
    if (saturated) result = negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    m_location = at;
    if (value) *value = result;
    if (digitCount) *digitCount = digits;
    return true;
}

bool PLScanner::scanInt(int* value, int* digitCount)
{
    qint64 wide = 0;
    if (!scanLongLong(&wide, digitCount)) return false;
    if (value) *value = static_cast<int>(std::clamp<qint64>(wide, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    return true;
}
