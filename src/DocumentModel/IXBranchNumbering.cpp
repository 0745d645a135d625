#include "DocumentModel/IXBranchNumbering.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"

#include <vector>

namespace {

constexpr int MaxLetters = 41;

QString piece(QChar code, qsizetype n)
{
    switch (code.unicode()) {
    case '1': return QString::number(n);
    case '2': return IXBranchNumbering::romanNumber(n, false);
    case '3': return IXBranchNumbering::romanNumber(n, true);
    case '4': return IXBranchNumbering::letterNumber(n, false);
    case '5': return IXBranchNumbering::letterNumber(n, true);
    default: return QString();
    }
}

// The numbered level of a branch: its depth, one less while the document has fewer than two
// root branches.
qint64 numberedLevel(const IXBranchNode& branch)
{
    const IXDocumentNode* document = branch.documentNode();
    const qint64 level = branch.level();
    return (!document || document->rootBranches().size() < 2) ? level - 1 : level;
}

}  // namespace

QString IXBranchNumbering::outlineBranchNumberForNode(const IXStyleNode& style, const IXBranchNode* branch)
{
    return outlineBranchNumber(style.outlineBranchNumbering(), branch);
}

QString IXBranchNumbering::outlineBranchNumber(int scheme, const IXBranchNode* branch)
{
    if (scheme == 0) return QString();
    const QString text = numbering(QString::number(scheme), branch);
    return text.isNull() ? QString() : text + QLatin1Char(' ');
}

QString IXBranchNumbering::numbering(const QString& scheme, const IXBranchNode* branch)
{
    if (!branch || scheme.isEmpty()) return QString();
    const qsizetype length = scheme.size();
    const bool stops = scheme.back() == QLatin1Char('0');

    // The chain of numbered branches from the given one upward; any of them without a number
    // leaves the whole text without one.
    struct Step {
        const IXBranchNode* branch;
        qint64 level;
    };
    std::vector<Step> chain;
    for (const IXBranchNode* current = branch; current;) {
        const qint64 level = numberedLevel(*current);
        if (level < 0) return QString();
        if (stops && level >= length - 1) return QString();
        chain.push_back({current, level});
        const IXBranchNode* parent = current->parentBranch();
        current = (parent && level > 0) ? parent : nullptr;
    }

    QString text(QLatin1String(""));
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        const IXBranchNode* current = it->branch;
        const IXBranchNode* parent = current->parentBranch();
        qsizetype index = -1;
        if (parent) {
            const auto& siblings = parent->branches();
            for (qsizetype i = 0; i < siblings.size() && index < 0; ++i) {
                if (siblings[i].get() == current) index = i;
            }
        } else if (const IXDocumentNode* document = current->documentNode()) {
            const auto& siblings = document->rootBranches();
            for (qsizetype i = 0; i < siblings.size() && index < 0; ++i) {
                if (siblings[i].get() == current) index = i;
            }
        }
        // A branch missing from its siblings adds no piece of its own.
        if (index < 0) continue;
        text += piece(scheme[it->level % length], index + 1) + QLatin1Char('.');
    }
    return text;
}

QString IXBranchNumbering::romanNumber(qsizetype n, bool upperCase)
{
    const QChar one = upperCase ? QLatin1Char('I') : QLatin1Char('i');
    const QChar five = upperCase ? QLatin1Char('V') : QLatin1Char('v');
    const QChar ten = upperCase ? QLatin1Char('X') : QLatin1Char('x');
    if (n <= 0) return QString(QLatin1String(""));
    const qsizetype tens = n / 10;
    QString text(std::min<qsizetype>(tens, MaxLetters), ten);
    if (tens > MaxLetters) return text;
    switch (n % 10) {
    case 1: text += one; break;
    case 2: text += QString(2, one); break;
    case 3: text += QString(3, one); break;
    case 4: text += one; text += five; break;
    case 5: text += five; break;
    case 6: text += five; text += one; break;
    case 7: text += five; text += QString(2, one); break;
    case 8: text += five; text += QString(3, one); break;
    case 9: text += one; text += ten; break;
    default: break;
    }
    return text;
}

QString IXBranchNumbering::letterNumber(qsizetype n, bool upperCase)
{
    const char16_t first = upperCase ? u'A' : u'a';
    if (n <= 0) return QString(QLatin1String(""));
    QString text;
    qsizetype m = n - 1;
    text.prepend(QChar(char16_t(first + m % 26)));
    while (m >= 26 && text.size() < MaxLetters) {
        m = m / 26 - 1;
        text.prepend(QChar(char16_t(first + m % 26)));
    }
    return text;
}
