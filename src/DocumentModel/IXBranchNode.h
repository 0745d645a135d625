#pragma once

#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXPictureNodeObserver.h"
#include "DocumentModel/IXStyleCarrier.h"
#include "Utilities/UTDateTime.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>

class IXCommentNode;
class IXConnectionNode;
class IXPictureNode;
class IXReferenceNode;
class IXStyleSheetNode;
class IXWarning;

// A branch of the map: a root branch under the document node or a sub-branch under another
// branch. It owns its sub-branches; every change is undoable and announced as
// notifiedOfBranchNode:didChangeProperty:.
//
// A branch that leaves a document takes along the floating pictures and comments that point
// at it and its styles in every style sheet, and gives them back when it joins a document
// again; a copy takes copies of them along. So cut and paste, drag and drop and undo of a
// removal keep them.
//
// Moving a branch to another parent of the same document never detaches it: it takes the new
// parent first and then leaves the old parent's list (with its own undo record).
class IXBranchNode : public IXNode, public IXPictureNodeObserver, public IXCommentNodeObserver {
public:
    using BranchList = QList<std::shared_ptr<IXBranchNode>>;
    using ReferenceList = QList<std::shared_ptr<IXReferenceNode>>;

    // The depth of a branch that had a parent and has none now, or has a parent of another
    // kind.
    static constexpr int NoLevel = INT_MAX;

    IXBranchNode();
    ~IXBranchNode() override;

    // A deep copy: title, dates, icons, export flag, copies of every child, and copies of the
    // floating nodes and styles that belong to the branch. Every copied node gets a fresh id.
    std::shared_ptr<IXNode> copy() const override;
    std::shared_ptr<IXBranchNode> copyBranch() const;

    bool isBranch() const override { return true; }

    // --- Structure ---
    // 0 under the document node, parent's depth + 1 under a branch, NoLevel otherwise; 0 for a
    // branch that never had a parent.
    int level() const override { return m_level; }
    IXBranchNode* parentBranch() const;
    // The topmost branch above (the receiver for a root branch).
    IXBranchNode* rootBranch();
    // Whether branch is a strict ancestor of the receiver.
    bool isSubbranchOf(const IXBranchNode* branch) const;

    const BranchList& branches() const { return m_branches; }
    // Replaces the sub-branches (undo "_setBranches"): branches that leave lose their parent,
    // new ones are taken from their old parents. A branch is listed once.
    void setBranches(const BranchList& branches);
    // Inserts the branch at the index (below 0 or beyond the count appends), taking it out of
    // its old parent. A branch that is already a sub-branch of the receiver moves to the index
    // instead (one undo step). Under a root branch, the sub-branches lose their side in the map
    // layout. A null branch, the receiver itself or one of its ancestors is a programming
    // error.
    void insertBranch(const std::shared_ptr<IXBranchNode>& branch, int index);
    // The branch must be a sub-branch ("index != NSNotFound"); it leaves with its subtree.
    void removeBranch(const std::shared_ptr<IXBranchNode>& branch);
    // Moves the sub-branch at oldIndex to before the one at newIndex (newIndex below 0 or at
    // least the count: to the end). The branch stays attached.
    void moveBranchAtIndex(int oldIndex, int newIndex);

    void setParentNode(IXNode* parent) override;

    // --- Content ---
    // The title; the default title while none is set.
    QString title() override;
    // The stored title, empty when none is set.
    const QString& storedTitle() const { return m_title; }
    // An empty title stores the default title.
    void setTitle(const QString& title);
    // "Subject" for a root branch, "Idea" below.
    QString defaultTitle() const;
    bool includeInExport() const { return m_includeInExport; }
    void setIncludeInExport(bool include);

    // The branch picture (undo "Branch Picture") and comment (undo "Comment", always a
    // plain-text comment). The branch owns them, is their parent and re-announces their
    // changes as its "picture" and "comment".
    const std::shared_ptr<IXPictureNode>& picture() const { return m_picture; }
    void setPicture(const std::shared_ptr<IXPictureNode>& picture);
    std::shared_ptr<IXPictureNode> addPicture();
    void removePicture();
    const std::shared_ptr<IXCommentNode>& comment() const { return m_comment; }
    void setComment(const std::shared_ptr<IXCommentNode>& comment);
    std::shared_ptr<IXCommentNode> addComment();
    void removeComment();

    // References by type: text notes (1), connections (3) and attachments (every other type).
    const QList<std::shared_ptr<IXCommentNode>>& textnotes() const { return m_textnotes; }
    const QList<std::shared_ptr<IXConnectionNode>>& connections() const { return m_connections; }
    const ReferenceList& attachments() const { return m_attachments; }
    // Text notes, then connections, then attachments.
    ReferenceList allReferences() const;
    qsizetype referencesCount() const { return m_textnotes.size() + m_connections.size() + m_attachments.size(); }
    // Appends the reference to the list of its type and parents it (undo "Text Note" for a
    // note, else "_reference"); announces "references", and "connections" for a connection. A
    // reference the branch already lists is left where it is.
    void addReference(const std::shared_ptr<IXReferenceNode>& reference);
    // Takes the reference out (undo puts it back at its place); one the branch does not list
    // is ignored.
    void removeReference(const std::shared_ptr<IXReferenceNode>& reference);
    // A new text note whose target is its own package part ("local:" and its id).
    std::shared_ptr<IXCommentNode> addTextnote();
    std::shared_ptr<IXConnectionNode> addConnection();
    std::shared_ptr<IXReferenceNode> addAttachment();
    std::shared_ptr<IXReferenceNode> addAttachmentWithType(int subtype);
    // The reference of the branch or of a branch below with that id.
    std::shared_ptr<IXReferenceNode> referenceForId(const QString& uniqueId);

    // The repair offered for a warning about one of the branch's references: "Locate", which
    // starts the attachments tool on it. No repair (an empty title) for other warnings.
    QString warningSolveTitle(const IXWarning& warning) const;
    // Always false: the warning stays until the reference is fixed.
    bool warningSolve(const IXWarning& warning) const;

    const QStringList& icons() const { return m_icons; }
    bool hasIcon(const QString& name) const { return m_icons.contains(name); }
    void setIcons(const QStringList& icons);
    void appendIcon(const QString& name);
    // Removes every icon of that name.
    void removeIcon(const QString& name);
    // Sets the collapsed flag of the branch's style in the document sheet, and with recursive
    // of every branch below. Nothing while detached.
    void setCollapsed(bool collapsed, bool recursive);

    // --- Dates ---
    const std::optional<UTDateTime>& beginDate() const { return m_beginDate; }
    // Clearing the begin date clears the end dates; an end date before a new begin date moves
    // to it.
    void setBeginDate(const std::optional<UTDateTime>& date);
    const std::optional<UTDateTime>& endDate() const { return m_endDate; }
    // Clears the second end date; without a begin date, or with a later one, the begin date
    // becomes the end date.
    void setEndDate(const std::optional<UTDateTime>& date);
    // The second end date, or the end date while none is set.
    const std::optional<UTDateTime>& endDate2() const { return m_endDate2 ? m_endDate2 : m_endDate; }
    const std::optional<UTDateTime>& storedEndDate2() const { return m_endDate2; }
    void setEndDate2(const std::optional<UTDateTime>& date);
    // Clears the dates of the branch and of every branch below.
    void resetDates();

    // --- Look-ups ---
    // The receiver or the branch below it with that id.
    std::shared_ptr<IXBranchNode> branchForId(const QString& uniqueId);
    // The receiver or a node below it with that id (the branch's picture, comment, references
    // and sub-branches with theirs).
    std::shared_ptr<IXNode> nodeForId(const QString& uniqueId);

    void notifyPropertyChange(const QString& property) override;
    void validateContent() override;

    // --- Nodes and styles carried while outside a document ---
    const QList<std::shared_ptr<IXNode>>& linkedNodes() const { return m_linkedNodes; }
    const IXStyleCarrier::Styles& styleAttributes() const { return m_styles.styleAttributes(); }
    // Drops the saved styles here and in every branch below.
    void clearSavedStyles();

    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfPictureNode(IXPictureNode* picture, const QString& property) override;
    void notifiedOfCommentNode(IXCommentNode* comment, const QString& property) override;

    // --- XML ("branch" element of "contents.xml") ---
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    PLXMLElement XMLElement(PLXMLElement parent) override;

protected:
    IXBranchNode(const IXBranchNode& other);

private:
    // Every node the branch owns directly: picture, comment, sub-branches, text notes,
    // connections, attachments.
    QList<std::shared_ptr<IXNode>> ownedChildren() const;
    // Whether the node is the receiver, a branch below it or a node one of them owns.
    bool isInSubtree(const IXNode* node) const;
    // Lists and parents a reference at the index of its list (-1: at the end), unrecorded.
    void insertReference(const std::shared_ptr<IXReferenceNode>& reference, qsizetype index);
    // Puts a reference back at its place (the undo of a removal), recorded.
    void reinsertReference(const std::shared_ptr<IXReferenceNode>& reference, qsizetype index);
    void observeOwnedNodes(bool observe);
    void updateLevel();
    int levelUnder(const IXNode* parent) const;
    // Clears the mind-map side of every sub-branch, or only of the one inserted when the others
    // are known to have none still.
    void resetSubbranchSides(IXBranchNode& inserted);
    // The undo of an insertion and its redo, as setBranches with the list before (after) it
    // would do, without keeping that list: a step costs the same at any count.
    void takeBackInsertedBranch(const std::shared_ptr<IXBranchNode>& branch, qsizetype index);
    void putBackInsertedBranch(const std::shared_ptr<IXBranchNode>& branch, qsizetype index);
    void setStoredTitle(const QString& title, const QString& actionName);
    enum DateSlot { BeginSlot, EndSlot, End2Slot };
    // Forgets the unreadable text of a date that is being set (undoable with it).
    void dropUnreadDate(DateSlot slot);
    template <typename Fn>
    void forEachBranchBelow(Fn fn);

    QString m_title;
    int m_level = 0;
    bool m_includeInExport = true;
    std::shared_ptr<IXPictureNode> m_picture;
    std::shared_ptr<IXCommentNode> m_comment;
    QList<std::shared_ptr<IXCommentNode>> m_textnotes;
    QList<std::shared_ptr<IXConnectionNode>> m_connections;
    ReferenceList m_attachments;
    QStringList m_icons;
    BranchList m_branches;
    std::optional<UTDateTime> m_beginDate;
    std::optional<UTDateTime> m_endDate;
    std::optional<UTDateTime> m_endDate2;
    // Date texts of the file that could not be read, by DateSlot: written back unchanged
    // until that date is set, so that nothing of the file is lost.
    std::array<QString, 3> m_unreadDates;
    QList<std::shared_ptr<IXNode>> m_linkedNodes;
    IXStyleCarrier m_styles;
    // The mind-map sheet in which every sub-branch was last given no side, and the style
    // change count just after: while no style changed anywhere and no sub-branch joined but by
    // insertion, they still have none. Not copied.
    struct SidesReset {
        std::weak_ptr<IXStyleSheetNode> sheet;
        std::uint64_t changeCount = 0;
    };
    std::optional<SidesReset> m_sidesReset;
};
