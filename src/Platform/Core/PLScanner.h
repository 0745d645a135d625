#pragma once

#include <QString>

#include <algorithm>

// Reads numbers and words from a text one piece at a time, the way typed or stored short
// texts are taken apart. The reader never throws: a failed scan returns false and leaves the
// location where it was.
class PLScanner {
public:
    explicit PLScanner(QString text) : m_text(std::move(text)) {}

    const QString& string() const { return m_text; }
    qsizetype location() const { return m_location; }
    void setLocation(qsizetype location) { m_location = std::clamp<qsizetype>(location, 0, m_text.size()); }
    bool isAtEnd() const { return m_location >= m_text.size(); }
    // The next character, or the null character at the end.
    QChar peek() const { return isAtEnd() ? QChar() : m_text.at(m_location); }

    // Consumes the next character when it is c.
    bool scanCharacter(QChar c);

    // Skips the characters for which inSet holds; returns whether any were skipped.
    template <typename Predicate>
    bool skipCharacters(Predicate inSet)
    {
        const qsizetype start = m_location;
        while (!isAtEnd() && inSet(m_text.at(m_location))) ++m_location;
        return m_location > start;
    }

    // Reads up to (not including) the first character for which inSet holds, or to the end.
    template <typename Predicate>
    QString scanUpToCharacters(Predicate inSet)
    {
        const qsizetype start = m_location;
        while (!isAtEnd() && !inSet(m_text.at(m_location))) ++m_location;
        return m_text.mid(start, m_location - start);
    }

    // Reads an optionally signed decimal integer after any whitespace. A number beyond the
    // type's range saturates at its limit. digitCount, when given, receives the digits read.
    bool scanInt(int* value, int* digitCount = nullptr);
    bool scanLongLong(qint64* value, int* digitCount = nullptr);

private:
    QString m_text;
    qsizetype m_location = 0;
};
