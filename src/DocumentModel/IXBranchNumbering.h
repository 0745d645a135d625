#pragma once

#include <QString>

class IXBranchNode;
class IXStyleNode;

// The outline number shown in front of a branch ("1.2. ", "ii.b. "), from the document's
// numbering scheme (the style attribute "document.numbering"). The decimal digits of the
// scheme give, level by level and repeating, the form of each level's number: 0 none,
// 1 decimal, 2 and 3 lower and upper roman, 4 and 5 lower and upper letters. A scheme whose
// last digit is 0 numbers no level at or beyond that digit. With fewer than two root branches
// the root is not numbered and its children form the first numbered level.
class IXBranchNumbering {
public:
    // The number followed by one space, by the scheme that the style shows (its
    // outlineBranchNumbering through the style look-up; the outline asks the branch's own
    // style); a null string when the scheme is 0 or the branch gets no number.
    static QString outlineBranchNumberForNode(const IXStyleNode& style, const IXBranchNode* branch);
    static QString outlineBranchNumber(int scheme, const IXBranchNode* branch);
    // The number without the trailing space, or a null string.
    static QString numbering(const QString& scheme, const IXBranchNode* branch);

    // n in roman letters from one, five and ten ("ivx" or "IVX"): a ten-letter per ten, at
    // most 41 of them, then the units digit (left out beyond 41 tens).
    static QString romanNumber(qsizetype n, bool upperCase);
    // n in bijective base 26 ("a" is 1, "z" 26, "aa" 27), at most 41 letters.
    static QString letterNumber(qsizetype n, bool upperCase);
};
