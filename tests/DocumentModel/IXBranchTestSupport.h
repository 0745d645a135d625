#pragma once

// Helpers of the tests of branches, selections and the whole model: titled branches, links,
// a recorder of branch notifications and the end of an event-loop turn (which closes the open
// undo step).

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXReferenceNode.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <string_view>
#include <utility>

inline void endTurn()
{
    QCoreApplication::processEvents();
}

inline std::shared_ptr<IXBranchNode> branchTitled(const QString& title)
{
    auto branch = std::make_shared<IXBranchNode>();
    branch->setTitle(title);
    return branch;
}

inline QStringList titlesOf(const IXBranchNode::BranchList& branches)
{
    QStringList titles;
    for (const auto& branch : branches) titles << branch->title();
    return titles;
}

inline std::shared_ptr<IXReferenceNode> linkTo(const QString& target, int subtype = IXReferenceNode::SubtypeWeb,
                                               const QString& title = QString())
{
    auto link = std::make_shared<IXReferenceNode>();
    link->setSubtype(subtype);
    if (!title.isEmpty()) link->setTitle(title);
    link->setTargetRef(target);
    return link;
}

// Records "<branch title> <property>" for every branch notice.
class BranchRecorder : public IXBranchNodeObserver {
public:
    QStringList events;
    bool respondsToSelector(std::string_view selector) const override
    {
        return selector == IXBranchNodeDidChangeProperty;
    }
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override
    {
        events << branch->title() + QLatin1Char(' ') + property;
    }
    QStringList take() { return std::exchange(events, {}); }
};
