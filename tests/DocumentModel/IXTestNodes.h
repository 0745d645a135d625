#pragma once

// Small node classes and a recording observer for the tests of the node base and the
// document node. The test branch follows the contract that real branches follow: it owns its
// children, passes attach and detach on to them, and leaves its old parent's list when it
// takes a new parent.

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXWarning.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

class TestBranch : public IXNode {
public:
    explicit TestBranch(QString title = QString())
        : m_title(std::move(title))
    {
    }

    bool isBranch() const override { return true; }
    QString title() override { return m_title; }
    const QList<std::shared_ptr<IXNode>>& children() const { return m_children; }

    void addChild(const std::shared_ptr<IXNode>& child)
    {
        child->setParentNode(this);
        m_children.append(child);
    }

    // Clears the child's parent only while it is still this branch: a child that moved to
    // another parent just leaves the list.
    void removeChild(const std::shared_ptr<IXNode>& child)
    {
        const std::shared_ptr<IXNode> keep = child;
        if (keep->parentNode() == this) keep->setParentNode(nullptr);
        m_children.removeAll(keep);
    }

    // Takes the new parent first, so that a move inside one document never detaches, then
    // leaves the old parent's list.
    void setParentNode(IXNode* parent) override
    {
        IXNode* old = parentNode();
        const std::shared_ptr<IXNode> keep = shared_from_this();
        IXNode::setParentNode(parent);
        if (!parent || !old || parent == old) return;
        if (old->isDocument()) {
            static_cast<IXDocumentNode*>(old)->removeRootBranch(keep);
        } else if (auto* branch = dynamic_cast<TestBranch*>(old)) {
            branch->removeChild(keep);
        }
    }

    void attachToDocumentNode(IXDocumentNode* document) override
    {
        IXNode::attachToDocumentNode(document);
        for (const auto& child : m_children) child->attachToDocumentNode(document);
    }

    void detachFromDocumentNode() override
    {
        for (const auto& child : m_children) child->detachFromDocumentNode();
        IXNode::detachFromDocumentNode();
    }

private:
    QString m_title;
    QList<std::shared_ptr<IXNode>> m_children;
};

class TestPicture : public IXNode {
public:
    bool isPicture() const override { return true; }
    bool isFloating() const override { return parentNode() && parentNode()->isDocument(); }
    std::shared_ptr<IXNode> floatingTargetNode() const override { return m_target.lock(); }
    void setTarget(const std::shared_ptr<IXNode>& target) { m_target = target; }

private:
    std::weak_ptr<IXNode> m_target;
};

class TestComment : public TestPicture {
public:
    bool isPicture() const override { return false; }
    bool isComment() const override { return true; }
    void setPlainText(bool plainText) override { madePlainText = plainText; }
    bool madePlainText = false;
};

// Records every node and document notification as a line "<notice> <node title or kind>".
class RecordingObserver : public IXNodeObserver, public IXDocumentNodeObserver {
public:
    QStringList events;

    bool respondsToSelector(std::string_view selector) const override
    {
        return isAnyOf(selector, {IXNodeAttach, IXNodeDetach, IXNodeWarning,
                                  IXDocumentNodeDidChangeProperty});
    }
    void notifiedOfNodeAttach(IXNode* node) override { events << QStringLiteral("attach ") + nameOf(node); }
    void notifiedOfNodeDetach(IXNode* node) override { events << QStringLiteral("detach ") + nameOf(node); }
    void notifiedOfNode(IXNode* node, const std::shared_ptr<IXWarning>& warning) override
    {
        events << QStringLiteral("warning ") + nameOf(node) + (warning ? QStringLiteral(" +") + warning->title() : QStringLiteral(" -"));
    }
    void notifiedOfDocumentNode(IXDocumentNode*, const QString& property) override
    {
        events << QStringLiteral("document ") + property;
    }

    QStringList take()
    {
        QStringList taken = events;
        events.clear();
        return taken;
    }

private:
    static QString nameOf(IXNode* node)
    {
        if (node->isDocument()) return QStringLiteral("document");
        const QString title = node->title();
        return title.isEmpty() ? QStringLiteral("node") : title;
    }
};

inline std::shared_ptr<TestBranch> makeBranch(const QString& title)
{
    return std::make_shared<TestBranch>(title);
}
