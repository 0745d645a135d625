#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <memory>

class IXBranchNode;

// Branches as tab-indented text, the form in which copied branches reach other programs and
// text from them becomes branches: one line per branch, depth first, indented by one tab per
// level below the first branch, ending in a line feed.
class IXTabularText {
public:
    // The text of each branch and its sub-branches, concatenated.
    static QString textFromBranches(const QList<std::shared_ptr<IXBranchNode>>& branches);
    // The branch's lines, its own indented by level tabs; the titles are trimmed of tabs,
    // line feeds and spaces.
    static QString textFromBranch(IXBranchNode& branch, int level);

    // New branches (not in a document) from text: one per line that holds more than blanks,
    // cut at carriage returns and line feeds; a line's level is the count of its leading tabs
    // and spaces. A line goes under the nearest earlier line of a smaller level (so a line
    // indented several steps deeper than the one before becomes its sub-branch, and one that
    // comes back to a level between two earlier ones stays under the shallower of them); a
    // line with no such line is a root. The roots, in order.
    static QList<std::shared_ptr<IXBranchNode>> branchesFromText(const QString& text);
    // The count of leading tab and space characters.
    static int levelForString(QStringView line);
};
