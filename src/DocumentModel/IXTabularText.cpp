#include "DocumentModel/IXTabularText.h"

#include "DocumentModel/IXBranchNode.h"

#include <utility>
#include <vector>

namespace {

bool isTitleBlank(QChar c)
{
    return c == u'\t' || c == u'\n' || c == u'\r' || c == u' ';
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTitleBlank(text[begin])) ++begin;
    while (end > begin && isTitleBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

void appendLine(QString& text, IXBranchNode& branch, int level)
{
    text.append(QString(level, u'\t'));
    text.append(trimmed(branch.title()));
    text.append(u'\n');
}

}  // namespace

QString IXTabularText::textFromBranches(const QList<std::shared_ptr<IXBranchNode>>& branches)
{
    QString text;
    for (const auto& branch : branches)
        if (branch) text += textFromBranch(*branch, 0);
    return text;
}

QString IXTabularText::textFromBranch(IXBranchNode& branch, int level)
{
    // Depth first without recursion: a deep map must not exhaust the stack.
    QString text;
    std::vector<std::pair<IXBranchNode*, int>> pending {{&branch, level}};
    while (!pending.empty()) {
        const auto [each, depth] = pending.back();
        pending.pop_back();
        appendLine(text, *each, depth);
        const auto& children = each->branches();
        for (auto child = children.rbegin(); child != children.rend(); ++child)
            pending.emplace_back(child->get(), depth + 1);
    }
    return text;
}

int IXTabularText::levelForString(QStringView line)
{
    int level = 0;
    while (level < line.size() && (line[level] == u'\t' || line[level] == u' ')) ++level;
    return level;
}

QList<std::shared_ptr<IXBranchNode>> IXTabularText::branchesFromText(const QString& text)
{
    QList<std::shared_ptr<IXBranchNode>> roots;
    // The open lines by level, shallowest first: each new line closes those at its level or
    // deeper and goes under the last one left.
    std::vector<std::pair<int, IXBranchNode*>> open;
    const QStringView all(text);
    qsizetype start = 0;
    while (start <= all.size()) {
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n') ++end;
        const QStringView line = all.mid(start, end - start);
        start = end + 1;
        const QStringView title = trimmed(line);
        if (title.isEmpty()) continue;
        const int level = levelForString(line);
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title.toString());
        while (!open.empty() && open.back().first >= level) open.pop_back();
        if (open.empty())
            roots.append(branch);
        else
            open.back().second->insertBranch(branch, -1);
        open.emplace_back(level, branch.get());
    }
    return roots;
}
