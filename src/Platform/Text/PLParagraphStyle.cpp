#include "Platform/Text/PLParagraphStyle.h"

#include <QStringView>

namespace {

QString alphabetic(int number, char first)
{
    // 1 -> a, 26 -> z, 27 -> aa, as list markers count.
    if (number <= 0) return QString::number(number);
    QString result;
    while (number > 0) {
        --number;
        result.prepend(QChar(first + number % 26));
        number /= 26;
    }
    return result;
}

QString roman(int number, bool upper)
{
    if (number <= 0 || number >= 4000) return QString::number(number);
    static const struct {
        int value;
        const char* text;
    } table[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                 {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString result;
    for (const auto& entry : table) {
        while (number >= entry.value) {
            result += QLatin1String(entry.text);
            number -= entry.value;
        }
    }
    return upper ? result.toUpper() : result;
}

struct Placeholder {
    const char* name;
    bool ordered;
};

const Placeholder placeholders[] = {
    {"disc", false},         {"circle", false},      {"square", false},
    {"hyphen", false},       {"check", false},       {"diamond", false},
    {"box", false},          {"decimal", true},      {"decimal-leading-zero", true},
    {"lower-alpha", true},   {"upper-alpha", true},  {"lower-latin", true},
    {"upper-latin", true},   {"lower-roman", true},  {"upper-roman", true},
    {"lower-hexadecimal", true}, {"upper-hexadecimal", true}, {"octal", true},
};

QString markerFor(QStringView name, int number)
{
    if (name == u"disc") return QStringLiteral("\u2022");
    if (name == u"circle") return QStringLiteral("\u25E6");
    if (name == u"square") return QStringLiteral("\u25AA");
    if (name == u"hyphen") return QStringLiteral("\u2043");
    if (name == u"check") return QStringLiteral("\u2713");
    if (name == u"diamond") return QStringLiteral("\u25C6");
    if (name == u"box") return QStringLiteral("\u2610");
    if (name == u"decimal") return QString::number(number);
    if (name == u"decimal-leading-zero") return number >= 0 && number < 10 ? QStringLiteral("0%1").arg(number) : QString::number(number);
    if (name == u"lower-alpha" || name == u"lower-latin") return alphabetic(number, 'a');
    if (name == u"upper-alpha" || name == u"upper-latin") return alphabetic(number, 'A');
    if (name == u"lower-roman") return roman(number, false);
    if (name == u"upper-roman") return roman(number, true);
    if (name == u"lower-hexadecimal") return QString::number(number, 16);
    if (name == u"upper-hexadecimal") return QString::number(number, 16).toUpper();
    if (name == u"octal") return QString::number(number, 8);
    return {};
}

} // namespace

QString PLParagraphStyle::TextList::marker(int itemNumber) const
{
    QString result;
    int i = 0;
    while (i < markerFormat.size()) {
        const QChar c = markerFormat.at(i);
        if (c == QLatin1Char('{')) {
            const int close = markerFormat.indexOf(QLatin1Char('}'), i + 1);
            if (close > i) {
                const QStringView name = QStringView(markerFormat).mid(i + 1, close - i - 1);
                const QString marker = markerFor(name, itemNumber);
                if (!marker.isEmpty()) {
                    result += marker;
                    i = close + 1;
                    continue;
                }
            }
        }
        result += c;
        ++i;
    }
    return result;
}

bool PLParagraphStyle::TextList::isOrdered() const
{
    for (const Placeholder& p : placeholders)
        if (p.ordered && markerFormat.contains(QLatin1Char('{') + QLatin1String(p.name) + QLatin1Char('}'))) return true;
    return false;
}
