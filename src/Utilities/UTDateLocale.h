#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The user's names of months and weekdays and the short date format, which the date
// formatter shows and reads. By default they come from the system locale, with English
// names for any the locale lacks; tests and callers that need fixed texts install their own.
class UTDateLocale {
public:
    // Missing or empty names are filled with the English ones. shortDateFormat is a Qt date
    // pattern such as "d/M/yy"; the order of its day and month decides how numbers are read.
    UTDateLocale(QStringList shortMonthNames, QStringList shortWeekdayNames, QString shortDateFormat);

    static UTDateLocale fromLocale(const QLocale& locale);
    static UTDateLocale english();

    // The installed one, else the one of the default locale.
    static const UTDateLocale& current();
    // Pins current() to locale; nothing goes back to the default locale.
    static void install(std::optional<UTDateLocale> locale);

    // Twelve names, January first.
    const QStringList& shortMonthNames() const { return m_shortMonthNames; }
    // Seven names, Sunday first: Sunday is day 1 of a week value.
    const QStringList& shortWeekdayNames() const { return m_shortWeekdayNames; }
    const QString& shortDateFormat() const { return m_shortDateFormat; }

    // The name of month 1 to 12 or day 1 to 7, else the empty string.
    QString shortMonthName(qint64 month) const;
    QString shortWeekdayName(qint64 day) const;
    // Whether the short date format puts the month before the day.
    bool isMonthFirst() const;

private:
    QStringList m_shortMonthNames;
    QStringList m_shortWeekdayNames;
    QString m_shortDateFormat;
};
