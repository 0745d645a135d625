#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class IXBranchNode;
class IXNode;
class IXReferenceNode;

// An immutable, ordered list of nodes of one document: the current choice of nodes that
// views, tools, inspectors and commands pass around. Changing a selection makes a new one.
//
// A selection is a cheap value: copies share one list, which keeps its nodes alive. Nodes are
// compared by identity; a node may be listed more than once (adding does not check).
// Membership is answered through a hash set made on first use, so that asking about every
// node of a large selection stays linear.
//
// Text form (for the pasteboard): the id of the document node of the last node, then the id
// of every node in order, each followed by ";"; empty when there is no node or the last node
// is not in a document.
class IXSelection {
public:
    using NodeList = QList<std::shared_ptr<IXNode>>;

    // The empty selection.
    IXSelection();
    // A selection of the one node (the empty selection for null).
    explicit IXSelection(const std::shared_ptr<IXNode>& node);
    explicit IXSelection(const NodeList& nodes);

    static IXSelection selection() { return IXSelection(); }
    static IXSelection selectionWithNode(const std::shared_ptr<IXNode>& node) { return IXSelection(node); }
    static IXSelection selectionWithArray(const NodeList& nodes) { return IXSelection(nodes); }

    IXSelection selectionByAddingNode(const std::shared_ptr<IXNode>& node) const;
    // The receiver itself (sharing its list) when the node is not selected; else a selection
    // without every occurrence of it.
    IXSelection selectionByRemovingNode(const IXNode* node) const;
    // Removes the node when it is selected, else adds it.
    IXSelection selectionByTriggeringNode(const std::shared_ptr<IXNode>& node) const;

    // Reads the text form against the application's open documents: nothing when the text
    // names no open document; ids that find no node are skipped, so a text whose nodes are
    // all gone gives the empty selection.
    static std::optional<IXSelection> selectionFromString(const QString& text);
    QString stringRepresentation() const;

    const NodeList& nodes() const;
    qsizetype count() const { return nodes().size(); }
    const std::shared_ptr<IXNode>& nodeAtIndex(qsizetype index) const;
    // Null when empty.
    std::shared_ptr<IXNode> lastNode() const;
    // The selection must not be empty.
    const std::shared_ptr<IXNode>& firstNode() const;
    bool isEmpty() const { return nodes().isEmpty(); }

    bool containsNode(const IXNode* node) const;
    // The node when it is selected, else null.
    std::shared_ptr<IXNode> member(const IXNode* node) const;

    // Exactly one node, the document node.
    bool isDocument() const;
    // At least one branch is selected.
    bool isBranches() const;
    QList<std::shared_ptr<IXBranchNode>> allBranches() const;
    // The selected branches that lie below no other selected branch, in order.
    QList<std::shared_ptr<IXBranchNode>> allTopBranches() const;
    // The selected branch of the smallest depth (the first of equal depths), or null.
    std::shared_ptr<IXBranchNode> topmostBranchNode() const;
    // The pictures of the selected branches, then the selected floating pictures.
    NodeList allPictures() const;
    NodeList allFloatingPictures() const;
    NodeList allFloatingComments() const;
    NodeList allBranchConnections() const;
    // For each selected branch in order, its references of that reference type.
    QList<std::shared_ptr<IXReferenceNode>> allReferencesForType(int type) const;

    // The same count and the very same node at every index.
    bool operator==(const IXSelection& other) const;
    // Whether both share one list (a selection returned unchanged).
    bool isIdenticalTo(const IXSelection& other) const { return m_data == other.m_data; }
    // A description for logs: the selection and "\nNodes: " with the node ids.
    QString description() const;

private:
    struct Data;
    explicit IXSelection(std::shared_ptr<Data> data);

    std::shared_ptr<Data> m_data;
};
