#pragma once

#include "DocumentModel/IXNodeObserver.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/XML/PLXMLElement.h"
#include "Utilities/UTBroadcaster.h"

#include <QList>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <functional>

#include <memory>
#include <string_view>

class IXDocumentNode;
class IXStyleNode;
class IXStyleSheetNode;
class IXWarning;
class PLError;
class PLUndoManager;
class PLXMLDocument;

// Base of every node of a document tree: the document node, layouts, branches, references,
// styles and style sheets.
//
// Ownership: nodes live in std::shared_ptr (make them with std::make_shared); a parent owns
// its children through shared pointers, while the parent and document links are raw pointers
// that are cleared when the node leaves its parent or document. Undo records keep the nodes
// they restore alive. A node must have left its document before it is released.
//
// A node is created detached and joins a document through setParentNode (or the document's
// add operations); subclasses that own children pass attachToDocumentNode and
// detachFromDocumentNode on to them, so a whole subtree joins or leaves with its root.
//
// Setters of subclasses follow one pattern: return when the value is unchanged; record the
// old value with registerUndo (nothing is recorded while undo is off); store the new value;
// announce the property through the class's notifyPropertyChange.
class IXNode : public virtual UTObserver, public std::enable_shared_from_this<IXNode> {
public:
    IXNode();
    virtual ~IXNode();
    IXNode& operator=(const IXNode&) = delete;

    // A new node of the same class made from this one (its copy constructor): copies get no
    // id of their own until asked, so every copy has a fresh id.
    virtual std::shared_ptr<IXNode> copy() const;

    // Reads the node from its element, right after it was made: the id from "uid" (none when
    // absent), then the parent. Subclasses read their content after calling this.
    virtual bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error);
    // Appends the node's element to parent and returns it ("node" with "uid" when the node
    // has an id; no id is made for it). Subclasses name their element and add content; a
    // node that is not written returns a null element.
    virtual PLXMLElement XMLElement(PLXMLElement parent);

    // The unique id: 32 upper-case hexadecimal digits, made on first use.
    const QString& uniqueId();
    // The id when it has been made or read, else an empty string.
    const QString& existingUniqueId() const { return m_uid; }
    // Equal to a node with the same id, or to a string holding the id; a node whose id has
    // not been made equals nothing.
    bool isEqual(const IXNode* other) const;
    bool isEqual(const QString& uniqueId) const;
    size_t hash() const;

    IXNode* parentNode() const { return m_parentNode; }
    virtual void setParentNode(IXNode* parent);
    IXDocumentNode* documentNode() const { return m_documentNode; }

    // Re-checks the node's content and drops what has become invalid.
    virtual void validateContent() {}

    // The node's own warnings while it is detached; while it is attached, its warnings are
    // listed by the document node.
    const QList<std::shared_ptr<IXWarning>>& warnings() const { return m_warnings; }
    void addWarning(const std::shared_ptr<IXWarning>& warning);
    void removeWarning(const std::shared_ptr<IXWarning>& warning);
    void removeAllWarnings();
    // Makes a warning owned by this node and lists it with the document when attached, else
    // with the node itself.
    std::shared_ptr<IXWarning> warning(const QString& message, const QVariantMap& info = {});

    // Hook for a parent that is losing a child to another parent.
    virtual void detachChildNode(IXNode* child) {}
    virtual void detachFromDocumentNode();
    virtual void attachToDocumentNode(IXDocumentNode* document);

    virtual bool isDocument() const { return false; }
    virtual bool isLayout() const { return false; }
    virtual bool isBranch() const { return false; }
    virtual bool isPicture() const { return false; }
    virtual bool isComment() const { return false; }
    virtual bool isConnection() const { return false; }
    virtual bool isFloating() const { return false; }
    // The depth of a branch (0 for a root branch); other nodes answer 0. The style sheets
    // choose a branch's master style by it.
    virtual int level() const { return 0; }

    // Announces a change of the property through the class's notification (a child's
    // change that concerns its parent is passed on this way); the base announces nothing.
    virtual void notifyPropertyChange(const QString& property) {}

    // The node's title text; nodes without a title answer an empty string.
    virtual QString title() { return QString(); }
    // The node that a floating picture or comment points at; none for other nodes.
    virtual std::shared_ptr<IXNode> floatingTargetNode() const { return nullptr; }
    // Makes a comment a plain-text floating comment; other nodes ignore it.
    virtual void setPlainText(bool plainText) {}

    // The document's undo manager with the action name applied, or null while undo is off
    // (detached, document being destroyed, or switched off by the document's counter). A
    // name beginning with "_" never becomes the Undo menu's text, and a name already set by a
    // command is kept.
    PLUndoManager* undoAction(const QString& actionName);

    // The node's style in the document's style sheet (made on first request); null while
    // detached.
    virtual std::shared_ptr<IXStyleNode> style();
    // The node's style in the document's style sheet when it has one; makes nothing.
    std::shared_ptr<const IXStyleNode> existingStyle() const;

    // The document's broadcaster; null while detached.
    virtual UTBroadcaster* observers() const;
    // Registers an observer for the notifications whose first argument is this node.
    void addObserver(UTObserver* observer);
    void removeObserver(UTObserver* observer);

protected:
    // A copy starts without id, links or warnings.
    IXNode(const IXNode& other);

    // Starts every node element: writes "uid" when the node has an id.
    void writeBaseXMLAttributes(PLXMLElement element) const;

    // A document of its own for a part: its root element, named rootName, gets what
    // writeContent writes and then names the schema file the part is valid against.
    static PLXMLDocument XMLDocumentWithSchema(QByteArrayView rootName, const QString& schema,
                                               const std::function<void(PLXMLElement)>& writeContent);

    // Records the undo of a change: fn runs with the node, which the record keeps alive, when
    // the step is undone. Nothing is recorded while undo is off.
    template <typename Self, typename Fn>
    static void registerUndo(Self* self, const QString& actionName, Fn fn);

    // Sends a notification through the document's broadcaster, when attached.
    template <typename Protocol, typename Result, typename... Params, typename... Args>
    void send(const UTNotification<Protocol, Result, Params...>& notification, const Args&... args) const
    {
        if (UTBroadcaster* broadcaster = observers()) broadcaster->send(notification, args...);
    }

private:
    friend class IXDocumentNode;
    friend class IXStyleSheetNode;

    static void recordUndo(PLUndoManager* manager, const void* target, std::function<void()> action);

    // What IXStyleSheetNode::styleForReading gave the node last (it checks this memo before
    // using it); a node read by the hundred thousand hashes its id only once per change.
    struct ReadingStyle {
        std::shared_ptr<const IXStyleNode> style;
        std::uint64_t changeCount = 0;
        int level = 0;
    };

    ReadingStyle m_readingStyle;
    QString m_uid;
    IXDocumentNode* m_documentNode = nullptr;
    IXNode* m_parentNode = nullptr;
    QList<std::shared_ptr<IXWarning>> m_warnings;
};

template <typename Self, typename Fn>
void IXNode::registerUndo(Self* self, const QString& actionName, Fn fn)
{
    PLUndoManager* manager = self->undoAction(actionName);
    if (!manager) return;
    std::shared_ptr<Self> keep = std::static_pointer_cast<Self>(self->shared_from_this());
    recordUndo(manager, PLIdentityOf(self), [keep = std::move(keep), fn = std::move(fn)]() { fn(*keep); });
}
