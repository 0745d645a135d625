#include "Utilities/UTDateLocale.h"

namespace {

const char* const EnglishMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const EnglishWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

template <int Count>
QStringList completed(QStringList names, const char* const (&fallback)[Count])
{
    names = names.mid(0, Count);
    while (names.size() < Count) names.append(QString());
    for (int i = 0; i < Count; ++i) {
        if (names[i].trimmed().isEmpty()) names[i] = QString::fromLatin1(fallback[i]);
    }
    return names;
}

QString nameAt(const QStringList& names, qint64 position)
{
    return position >= 1 && position <= names.size() ? names.at(position - 1) : QString();
}

// Position of the first unquoted run of letter in a Qt date pattern that is at most
// maxRun long (so "ddd", a weekday name, is not taken for a day number), or -1.
qsizetype runPosition(const QString& pattern, QChar letter, int maxRun)
{
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        if (pattern[i] == u'\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < pattern.size() && pattern[end] == pattern[i]) ++end;
        if (!quoted && pattern[i] == letter && end - i <= maxRun) return i;
        i = end;
    }
    return -1;
}

std::optional<UTDateLocale>& installed()
{
    static std::optional<UTDateLocale> locale;
    return locale;
}

} // namespace

UTDateLocale::UTDateLocale(QStringList shortMonthNames, QStringList shortWeekdayNames, QString shortDateFormat)
    : m_shortMonthNames(completed(std::move(shortMonthNames), EnglishMonths)),
      m_shortWeekdayNames(completed(std::move(shortWeekdayNames), EnglishWeekdays)),
      m_shortDateFormat(std::move(shortDateFormat))
{
}

UTDateLocale UTDateLocale::fromLocale(const QLocale& locale)
{
    QStringList months;
    for (int month = 1; month <= 12; ++month) months << locale.monthName(month, QLocale::ShortFormat);
    QStringList weekdays;
    // Qt numbers Monday 1 to Sunday 7; week values count from Sunday.
    for (int day : {7, 1, 2, 3, 4, 5, 6}) weekdays << locale.dayName(day, QLocale::ShortFormat);
    return UTDateLocale(months, weekdays, locale.dateFormat(QLocale::ShortFormat));
}

UTDateLocale UTDateLocale::english()
{
    return UTDateLocale({}, {}, QStringLiteral("M/d/yy"));
}

const UTDateLocale& UTDateLocale::current()
{
    if (installed()) return *installed();
    static const UTDateLocale system = fromLocale(QLocale());
    return system;
}

void UTDateLocale::install(std::optional<UTDateLocale> locale)
{
    installed() = std::move(locale);
}

QString UTDateLocale::shortMonthName(qint64 month) const
{
    return nameAt(m_shortMonthNames, month);
}

QString UTDateLocale::shortWeekdayName(qint64 day) const
{
    return nameAt(m_shortWeekdayNames, day);
}

bool UTDateLocale::isMonthFirst() const
{
    const qsizetype day = runPosition(m_shortDateFormat, u'd', 2);
    const qsizetype month = runPosition(m_shortDateFormat, u'M', 4);
    return day >= 0 && month >= 0 && month < day;
}
