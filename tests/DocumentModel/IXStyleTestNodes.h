#pragma once

// A node that reports a chosen kind and branch level, standing in for branches, pictures,
// comments and connections in the tests of styles; and an observer that records style
// notices.

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleNodeObserver.h"
#include "DocumentModel/IXStyleSheetNode.h"

#include <QStringList>

#include <memory>
#include <ostream>

inline void PrintTo(const IXStyleValue& value, std::ostream* out)
{
    *out << "<" << int(value.kind()) << " " << value.description().toStdString() << ">";
}

class StyledTestNode : public IXNode {
public:
    enum class Kind { Branch, Picture, Comment, Connection, Other };

    explicit StyledTestNode(Kind kind, int level = 0)
        : m_kind(kind)
        , m_level(level)
    {
    }

    bool isBranch() const override { return m_kind == Kind::Branch; }
    bool isPicture() const override { return m_kind == Kind::Picture; }
    bool isComment() const override { return m_kind == Kind::Comment; }
    bool isConnection() const override { return m_kind == Kind::Connection; }
    int level() const override { return m_level; }

    // As a branch does when it moves: the new depth, then the "level" notice.
    void setLevel(int level)
    {
        m_level = level;
        send(IXBranchNodeDidChangeProperty, static_cast<IXNode*>(this), QStringLiteral("level"));
    }

private:
    Kind m_kind;
    int m_level;
};

// Records "<ref or type> <property>" for every style notice.
class StyleNoticeRecorder : public IXStyleNodeObserver {
public:
    QStringList notices;

    bool respondsToSelector(std::string_view selector) const override
    {
        return isAnyOf(selector, {IXStyleNodeDidChangeProperty});
    }
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override
    {
        const QString who = style->refId().isEmpty() ? IXStyleSheetNode::styleTypeName(style->type()) : style->refId();
        notices << who + QLatin1Char(' ') + property;
    }
    QStringList take() { return std::exchange(notices, {}); }
};

// A document with an undo manager, whose document sheet and "mindmap" sheet start without
// master attributes, so that tests control every value in the chain.
struct StyledDocument {
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();

    StyledDocument()
    {
        document->disableUndo();
        documentSheet()->setMasters({});
        layoutSheet()->setMasters({});
        document->enableUndo();
        document->setUndoManager(&undo);
    }

    std::shared_ptr<IXStyleSheetNode> documentSheet() { return document->styleSheet(); }
    std::shared_ptr<IXStyleSheetNode> layoutSheet() { return document->layoutForName(QStringLiteral("mindmap"))->styleSheet(); }

    std::shared_ptr<StyledTestNode> add(StyledTestNode::Kind kind, int level = 0)
    {
        auto node = std::make_shared<StyledTestNode>(kind, level);
        document->disableUndo();
        document->addRootBranch(node);
        document->enableUndo();
        return node;
    }
};
