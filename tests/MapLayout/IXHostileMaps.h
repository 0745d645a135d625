#pragma once

// Small generated maps of the kinds that once crashed or hung layout and drawing: geometry far
// beyond any real map, titles of megabytes without a blank, a branch whose lines run far out
// of every view, many connections on one branch, many siblings under one root. Shared by the
// tests, the benchmarks and the fuzz corpus.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"

#include <QString>

#include <memory>

namespace IXHostileMaps {

inline std::shared_ptr<IXBranchNode> branchTitled(const QString& title)
{
    auto branch = std::make_shared<IXBranchNode>();
    branch->setTitle(title);
    return branch;
}

inline std::shared_ptr<IXBranchNode> addBranch(const std::shared_ptr<IXBranchNode>& parent, const QString& title)
{
    auto branch = branchTitled(title);
    parent->insertBranch(branch, -1);
    return branch;
}

inline std::shared_ptr<IXBranchNode> addRoot(IXDocumentNode& document, const QString& title)
{
    auto root = branchTitled(title);
    document.addRootBranch(root);
    return root;
}

// count sub-branches titled "<prefix> <i>" added at once (one by one, a root re-sides all its
// sub-branches at every insertion).
inline void addBranches(const std::shared_ptr<IXBranchNode>& parent, int count, const QString& prefix)
{
    IXBranchNode::BranchList branches = parent->branches();
    for (int i = 0; i < count; ++i) {
        branches.append(branchTitled(QStringLiteral("%1 %2").arg(prefix).arg(i)));
    }
    parent->setBranches(branches);
}

inline std::shared_ptr<IXDocumentNode> newDocument()
{
    auto document = std::make_shared<IXDocumentNode>();
    document->disableUndo();
    return document;
}

// Every geometric value a style gives set to value (1e20, an infinity, not a number) on a
// root with sub-branches, a connection between them and a floating comment.
inline std::shared_ptr<IXDocumentNode> hugeGeometry(float value)
{
    auto document = newDocument();
    auto root = addRoot(*document, QStringLiteral("Root"));
    auto a = addBranch(root, QStringLiteral("A"));
    auto b = addBranch(root, QStringLiteral("B"));
    addBranch(a, QStringLiteral("A1"));
    addBranch(b, QStringLiteral("B1"));
    auto link = a->addConnection();
    link->setTargetNode(b);
    auto comment = std::make_shared<IXCommentNode>();
    comment->setTitle(QStringLiteral("Comment"));
    document->addComment(comment);

    const std::shared_ptr<IXStyleNode> documentStyle = document->style();
    documentStyle->setDocumentGapVertical(value);
    documentStyle->setDocumentGapHorizontal(value);
    documentStyle->setDocumentBranchMinLength(value);
    documentStyle->setDocumentLayoutCustom(true);
    documentStyle->setDocumentShowsBranchConnections(true);
    for (const auto& branch : {root, a, b}) {
        const std::shared_ptr<IXStyleNode> style = branch->style();
        style->setBranchLineWidth(value);
        style->setBranchTextWidth(value);
        style->setBranchFrameType(2);
        style->setBranchFrameLineRoundness(value);
        style->setBranchParentOffset(PLPoint(value, value));
    }
    const std::shared_ptr<IXStyleNode> linkStyle = link->style();
    linkStyle->setConnectionLineWidth(value);
    linkStyle->setConnectionOffset1(PLPoint(value, -value));
    linkStyle->setConnectionOffset2(PLPoint(-value, value));
    const std::shared_ptr<IXStyleNode> commentStyle = comment->style();
    commentStyle->setFloatingTargetOffset(PLPoint(value, value));
    commentStyle->setFloatingFrameWidth(value);
    commentStyle->setFloatingLineWidth(value);
    commentStyle->setCommentTextWidth(value);
    return document;
}

// A root titled with characters letters and no blank, and a floating comment alike.
inline std::shared_ptr<IXDocumentNode> longTitle(int characters)
{
    auto document = newDocument();
    QString title(characters, QLatin1Char('x'));
    auto root = addRoot(*document, title);
    addBranch(root, QStringLiteral("Child"));
    auto comment = std::make_shared<IXCommentNode>();
    comment->setTitle(title);
    document->addComment(comment);
    return document;
}

// A root with children on both sides joined by lines of the given type (1 direct, 4 curve)
// from its centre: stacked along the root's sides, thousands of them reach tens of thousands
// of units up and down, and in any view of the root every line crosses it.
inline std::shared_ptr<IXDocumentNode> wideBranch(int children, int lineType = 1)
{
    auto document = newDocument();
    auto root = addRoot(*document, QStringLiteral("Wide"));
    addBranches(root, children, QStringLiteral("Child"));
    root->style()->setBranchLineType(lineType);
    for (const auto& child : root->branches()) child->style()->setBranchLineType(lineType);
    return document;
}

// Two sub-branches of a root, the first holding count connections to the second.
inline std::shared_ptr<IXDocumentNode> manyConnections(int count)
{
    auto document = newDocument();
    auto root = addRoot(*document, QStringLiteral("Root"));
    auto from = addBranch(root, QStringLiteral("From"));
    auto to = addBranch(root, QStringLiteral("To"));
    for (int i = 0; i < count; ++i) from->addConnection()->setTargetNode(to);
    document->style()->setDocumentShowsBranchConnections(true);
    return document;
}

// One root with count sub-branches.
inline std::shared_ptr<IXDocumentNode> siblings(int count)
{
    auto document = newDocument();
    auto root = addRoot(*document, QStringLiteral("Root"));
    addBranches(root, count, QStringLiteral("Sibling"));
    return document;
}

}  // namespace IXHostileMaps
