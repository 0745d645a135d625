#include "DocumentModel/IXBranchNode.h"

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWarningsSolving.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Utilities/UTXMLAttributes.h"

#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromLatin1(key));
}

bool sameDate(const std::optional<UTDateTime>& a, const std::optional<UTDateTime>& b)
{
    if (!a || !b) return !a && !b;
    return a->isEqual(b);
}

// A date that cannot be read is left out, so the branch stays usable; its text is kept in
// unread to be written back as it was. So is the text of a date read in part or repaired (a
// tail past the grammar, a day past the month), which would not be written as it was read.
std::optional<UTDateTime> dateAttribute(const PLXMLElement& element, QByteArrayView name, QString& unread)
{
    const QString text = element.attribute(name);
    if (text.isEmpty()) return std::nullopt;
    std::optional<UTDateTime> date = UTDateTime::fromString(text);
    if (!date || date->stringRepresentation() != text) unread = text;
    return date;
}

// The last "title", "comment" and "picture" elements of a branch element, found in one pass
// over its children (which include every sub-branch) instead of one search each.
struct LastChildren {
    PLXMLElement title;
    PLXMLElement comment;
    PLXMLElement picture;
};

LastChildren lastChildren(const PLXMLElement& element)
{
    LastChildren last;
    for (PLXMLElement child = element.firstChildElement(); child; child = child.nextSiblingElement()) {
        if (child.hasName("title")) {
            last.title = child;
        } else if (child.hasName("comment")) {
            last.comment = child;
        } else if (child.hasName("picture")) {
            last.picture = child;
        }
    }
    return last;
}

void writeDate(PLXMLElement& element, const char* name, const std::optional<UTDateTime>& date, const QString& unread)
{
    if (!unread.isEmpty()) {
        element.setAttribute(name, unread);
    } else if (date) {
        element.setAttribute(name, date->stringRepresentation());
    }
}

template <typename List>
qsizetype indexOfNode(const List& list, const IXNode* node)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].get() == node) return i;
    }
    return -1;
}

template <typename Node>
QList<std::shared_ptr<Node>> copiesParentedTo(const QList<std::shared_ptr<Node>>& list, IXNode* parent)
{
    QList<std::shared_ptr<Node>> copies;
    copies.reserve(list.size());
    for (const auto& node : list) {
        auto copied = std::static_pointer_cast<Node>(node->copy());
        copied->setParentNode(parent);
        copies.append(std::move(copied));
    }
    return copies;
}

template <typename Node>
bool readInto(IXNode* parent, const PLXMLElement& element, PLError* error, QList<std::shared_ptr<Node>>& list)
{
    std::shared_ptr<Node> node = IXReferenceNode::readNode<Node>(parent, element, error);
    if (!node) return false;
    list.append(std::move(node));
    return true;
}

QString referenceActionName(const IXReferenceNode& reference)
{
    return reference.type() == IXReferenceNode::TypeComment ? localized("Text Note") : QStringLiteral("_reference");
}

}  // namespace

IXBranchNode::IXBranchNode() = default;

IXBranchNode::~IXBranchNode()
{
    // Children still point at the branch; they lose their parent link with it.
    for (const auto& child : ownedChildren()) {
        if (child->parentNode() == this) child->IXNode::setParentNode(nullptr);
    }
}

IXBranchNode::IXBranchNode(const IXBranchNode& other)
    : UTObserver()
    , IXNode(other)
    , m_title(other.m_title)
    , m_includeInExport(other.m_includeInExport)
    , m_icons(other.m_icons)
    , m_beginDate(other.m_beginDate)
    , m_endDate(other.m_endDate)
    , m_endDate2(other.m_endDate2)
    , m_unreadDates(other.m_unreadDates)
{
    if (other.m_picture) {
        m_picture = std::static_pointer_cast<IXPictureNode>(other.m_picture->copy());
        m_picture->setParentNode(this);
    }
    if (other.m_comment) {
        m_comment = std::static_pointer_cast<IXCommentNode>(other.m_comment->copy());
        m_comment->setParentNode(this);
    }
    m_textnotes = copiesParentedTo(other.m_textnotes, this);
    m_connections = copiesParentedTo(other.m_connections, this);
    m_attachments = copiesParentedTo(other.m_attachments, this);
    m_branches = copiesParentedTo(other.m_branches, this);
    // The floating nodes and styles that belong to the source come along, so that a pasted
    // copy brings them into the document it joins.
    IXDocumentNode* document = other.documentNode();
    const QList<std::shared_ptr<IXNode>> linked = document ? document->nodesLinkedTo(&other) : other.m_linkedNodes;
    for (const auto& node : linked) m_linkedNodes.append(node->copy());
    m_styles.take(IXStyleCarrier::stylesForCopy(other, other.m_styles));
}

std::shared_ptr<IXNode> IXBranchNode::copy() const
{
    return copyBranch();
}

std::shared_ptr<IXBranchNode> IXBranchNode::copyBranch() const
{
    return std::shared_ptr<IXBranchNode>(new IXBranchNode(*this));
}

QList<std::shared_ptr<IXNode>> IXBranchNode::ownedChildren() const
{
    QList<std::shared_ptr<IXNode>> children;
    // A branch being read has none yet: no list is allocated for it.
    const qsizetype count = (m_picture ? 1 : 0) + (m_comment ? 1 : 0) + m_branches.size() + referencesCount();
    if (count == 0) return children;
    children.reserve(count);
    if (m_picture) children.append(m_picture);
    if (m_comment) children.append(m_comment);
    for (const auto& branch : m_branches) children.append(branch);
    for (const auto& note : m_textnotes) children.append(note);
    for (const auto& connection : m_connections) children.append(connection);
    for (const auto& attachment : m_attachments) children.append(attachment);
    return children;
}

bool IXBranchNode::isInSubtree(const IXNode* node) const
{
    if (node && !node->isBranch()) {
        // Only what a branch owns itself: its picture, comment and references.
        node = node->parentNode();
        if (!node || !node->isBranch()) return false;
    }
    for (; node; node = node->parentNode()) {
        if (node == this) return true;
        if (!node->isBranch()) return false;
    }
    return false;
}

// --- Structure ---

template <typename Fn>
void IXBranchNode::forEachBranchBelow(Fn fn)
{
    // The receiver first, then depth first in order, without recursion.
    std::vector<IXBranchNode*> pending{this};
    while (!pending.empty()) {
        IXBranchNode* branch = pending.back();
        pending.pop_back();
        fn(*branch);
        for (auto it = branch->m_branches.crbegin(); it != branch->m_branches.crend(); ++it) pending.push_back(it->get());
    }
}

IXBranchNode* IXBranchNode::parentBranch() const
{
    IXNode* parent = parentNode();
    return parent && parent->isBranch() ? static_cast<IXBranchNode*>(parent) : nullptr;
}

IXBranchNode* IXBranchNode::rootBranch()
{
    IXBranchNode* branch = this;
    while (IXBranchNode* parent = branch->parentBranch()) branch = parent;
    return branch;
}

bool IXBranchNode::isSubbranchOf(const IXBranchNode* branch) const
{
    if (!branch) return false;
    for (const IXBranchNode* parent = parentBranch(); parent; parent = parent->parentBranch()) {
        if (parent == branch) return true;
    }
    return false;
}

int IXBranchNode::levelUnder(const IXNode* parent) const
{
    if (!parent) return NoLevel;
    if (parent->isDocument()) return 0;
    if (parent->isBranch()) {
        const int parentLevel = static_cast<const IXBranchNode*>(parent)->m_level;
        // A branch below a branch without a depth has none either, instead of wrapping round.
        return parentLevel == NoLevel ? NoLevel : parentLevel + 1;
    }
    return NoLevel;
}

void IXBranchNode::updateLevel()
{
    // Iterative, so that deep trees cannot exhaust the stack; a branch without sub-branches
    // (every branch as it is read) needs no list of pending ones.
    std::vector<IXBranchNode*> pending;
    for (IXBranchNode* branch = this; branch;) {
        const int level = branch->levelUnder(branch->parentNode());
        if (level != branch->m_level) {
            branch->m_level = level;
            branch->notifyPropertyChange(IXProperties::Level);
            for (const auto& child : branch->m_branches) pending.push_back(child.get());
        }
        if (pending.empty()) break;
        branch = pending.back();
        pending.pop_back();
    }
}

void IXBranchNode::setParentNode(IXNode* parent)
{
    IXNode* old = parentNode();
    if (parent == old) return;
    const std::shared_ptr<IXBranchNode> keep = std::static_pointer_cast<IXBranchNode>(weak_from_this().lock());
    // The new parent first: a move inside one document then never detaches the subtree (and
    // never takes its floating nodes out); the old parent's list is left afterwards.
    IXNode::setParentNode(parent);
    if (parent && old && keep) {
        if (old->isDocument()) {
            static_cast<IXDocumentNode*>(old)->removeRootBranch(keep);
        } else if (old->isBranch()) {
            auto* oldBranch = static_cast<IXBranchNode*>(old);
            if (oldBranch->m_branches.contains(keep)) oldBranch->removeBranch(keep);
        }
    }
    updateLevel();
}

void IXBranchNode::setBranches(const BranchList& branches)
{
    if (branches == m_branches) return;
    for (const auto& branch : branches) {
        PL_ASSERT_PARAM(branch && branch.get() != this && !isSubbranchOf(branch.get()),
                        "node != self && ![self isSubbranchOf:node]");
    }
    const BranchList old = m_branches;
    const BranchList incoming = branches;  // the argument may be a list of ours
    registerUndo(this, QStringLiteral("_setBranches"), [old](IXBranchNode& branch) { branch.setBranches(old); });
    QSet<const IXBranchNode*> oldSet;
    QSet<const IXBranchNode*> newSet;
    for (const auto& branch : old) oldSet.insert(branch.get());
    for (const auto& branch : incoming) newSet.insert(branch.get());
    for (const auto& branch : old) {
        if (!newSet.contains(branch.get()) && branch->parentNode() == this) branch->setParentNode(nullptr);
    }
    for (const auto& branch : incoming) {
        if (!oldSet.contains(branch.get())) branch->setParentNode(this);
    }
    // Each branch is listed once: a repeated branch would be written twice. Branches that join
    // here keep their sides.
    m_sidesReset.reset();
    m_branches.clear();
    QSet<const IXBranchNode*> listed;
    for (const auto& branch : incoming) {
        if (!listed.contains(branch.get())) {
            listed.insert(branch.get());
            m_branches.append(branch);
        }
    }
    notifyPropertyChange(IXProperties::Branches);
}

void IXBranchNode::insertBranch(const std::shared_ptr<IXBranchNode>& branch, int index)
{
    PL_ASSERT_PARAM(branch, "node");
    // A branch cannot become its own descendant: the tree would turn into a cycle.
    PL_ASSERT_PARAM(branch.get() != this && !isSubbranchOf(branch.get()), "node != self && ![self isSubbranchOf:node]");
    const std::shared_ptr<IXBranchNode> keep = branch;
    const qsizetype present = keep->parentNode() == this ? m_branches.indexOf(keep) : -1;
    if (present >= 0) {
        // Already a sub-branch: it moves instead of being listed twice, as moveBranchAtIndex
        // would place it; left where it is, nothing happens.
        const qsizetype count = m_branches.size();
        qsizetype target = (index < 0 || index > count) ? count : index;
        if (target > present) --target;
        if (target == present) return;
        registerUndo(this, QStringLiteral("_insertBranch"), [old = m_branches](IXBranchNode& parent) { parent.setBranches(old); });
        m_branches.removeAt(present);
        m_branches.insert(target, keep);
    } else {
        const qsizetype count = m_branches.size();
        const qsizetype at = (index < 0 || index > count) ? count : index;
        registerUndo(this, QStringLiteral("_insertBranch"),
                     [keep, at](IXBranchNode& parent) { parent.takeBackInsertedBranch(keep, at); });
        keep->setParentNode(this);
        m_branches.insert(at, keep);
    }
    if (m_level == 0) resetSubbranchSides(*keep);
    notifyPropertyChange(IXProperties::Branches);
}

void IXBranchNode::takeBackInsertedBranch(const std::shared_ptr<IXBranchNode>& branch, qsizetype index)
{
    // Undo finds the list as the insertion left it; anything else keeps the rest as it is.
    if (index >= m_branches.size() || m_branches.at(index) != branch) {
        BranchList rest = m_branches;
        rest.removeAll(branch);
        setBranches(rest);
        return;
    }
    registerUndo(this, QStringLiteral("_setBranches"),
                 [branch, index](IXBranchNode& parent) { parent.putBackInsertedBranch(branch, index); });
    if (branch->parentNode() == this) branch->setParentNode(nullptr);
    m_branches.removeAt(index);
    notifyPropertyChange(IXProperties::Branches);
}

void IXBranchNode::putBackInsertedBranch(const std::shared_ptr<IXBranchNode>& branch, qsizetype index)
{
    // Redo finds the branch out of the list, as its undo left it; anything else goes the long way.
    if (index > m_branches.size() || branch->parentNode() == this) {
        BranchList list = m_branches;
        list.removeAll(branch);
        list.insert(std::min(index, list.size()), branch);
        setBranches(list);
        return;
    }
    PL_ASSERT_PARAM(branch.get() != this && !isSubbranchOf(branch.get()), "node != self && ![self isSubbranchOf:node]");
    registerUndo(this, QStringLiteral("_setBranches"),
                 [branch, index](IXBranchNode& parent) { parent.takeBackInsertedBranch(branch, index); });
    branch->setParentNode(this);
    m_branches.insert(index, branch);
    // The branch comes back with the side it had.
    m_sidesReset.reset();
    notifyPropertyChange(IXProperties::Branches);
}

void IXBranchNode::removeBranch(const std::shared_ptr<IXBranchNode>& branch)
{
    const qsizetype index = branch ? m_branches.indexOf(branch) : -1;
    PL_ASSERT_PARAM(index >= 0, "index != NSNotFound");
    const std::shared_ptr<IXBranchNode> keep = branch;
    registerUndo(this, QStringLiteral("_removeBranch"), [old = m_branches](IXBranchNode& parent) { parent.setBranches(old); });
    // A branch that already took another parent just leaves the list.
    if (keep->parentNode() == this) keep->setParentNode(nullptr);
    m_branches.removeAt(m_branches.indexOf(keep));
    notifyPropertyChange(IXProperties::Branches);
}

void IXBranchNode::moveBranchAtIndex(int oldIndex, int newIndex)
{
    PL_ASSERT_PARAM(oldIndex >= 0 && oldIndex < m_branches.size(), "oldIndex >= 0 && oldIndex < [_branches count]");
    const qsizetype count = m_branches.size();
    const qsizetype requested = (newIndex < 0 || newIndex >= count) ? count : newIndex;
    const qsizetype target = requested > oldIndex ? requested - 1 : requested;
    if (target == oldIndex) return;  // already there: no step that changes nothing
    registerUndo(this, QStringLiteral("_moveBranch"), [old = m_branches](IXBranchNode& parent) { parent.setBranches(old); });
    const std::shared_ptr<IXBranchNode> moving = m_branches.takeAt(oldIndex);
    m_branches.insert(target, moving);
    notifyPropertyChange(IXProperties::Branches);
}

void IXBranchNode::resetSubbranchSides(IXBranchNode& inserted)
{
    // Sub-branches of a root branch are spread anew in the map layout. Right after a reset the
    // others have no side and a style in the sheet, so many insertions in a row reset each
    // branch once rather than all of them every time.
    IXDocumentNode* document = documentNode();
    if (!document || m_branches.isEmpty()) return;
    const std::shared_ptr<IXStyleSheetNode> sheet = document->layoutForName(IXLayoutMindMapName)->styleSheet();
    const bool othersReset = m_sidesReset && m_sidesReset->changeCount == IXStyleSheetStyles::changeCount()
        && m_sidesReset->sheet.lock() == sheet;
    if (othersReset) {
        sheet->styleForNode(&inserted)->setBranchLayoutType(0);
    } else {
        for (const auto& branch : m_branches) sheet->styleForNode(branch.get())->setBranchLayoutType(0);
    }
    m_sidesReset = SidesReset {sheet, IXStyleSheetStyles::changeCount()};
}

void IXBranchNode::setCollapsed(bool collapsed, bool recursive)
{
    if (!documentNode()) return;
    if (!recursive) {
        style()->setBranchCollapsed(collapsed);
        return;
    }
    forEachBranchBelow([collapsed](IXBranchNode& branch) { branch.style()->setBranchCollapsed(collapsed); });
}

// --- Content ---

QString IXBranchNode::defaultTitle() const
{
    return m_level == 0 ? localized("Subject") : localized("Idea");
}

QString IXBranchNode::title()
{
    // Stored from the first look on, so the title does not change when the branch moves.
    if (m_title.isEmpty()) m_title = defaultTitle();
    return m_title;
}

void IXBranchNode::setTitle(const QString& title)
{
    const QString stored = title.isEmpty() ? defaultTitle() : title;
    if (stored == m_title) return;
    setStoredTitle(stored, localized("Branch Title"));
}

void IXBranchNode::setStoredTitle(const QString& title, const QString& actionName)
{
    // Undo gives back the stored text itself, so that an untitled branch becomes untitled
    // again rather than titled with its default.
    registerUndo(this, actionName, [old = m_title, actionName](IXBranchNode& branch) { branch.setStoredTitle(old, actionName); });
    m_title = title;
    notifyPropertyChange(IXProperties::Title);
}

void IXBranchNode::setIncludeInExport(bool include)
{
    if (include == m_includeInExport) return;
    registerUndo(this, localized("Include In Export"),
                 [old = m_includeInExport](IXBranchNode& branch) { branch.setIncludeInExport(old); });
    m_includeInExport = include;
    notifyPropertyChange(IXProperties::IncludeInExport);
}

void IXBranchNode::setPicture(const std::shared_ptr<IXPictureNode>& picture)
{
    if (picture == m_picture) return;
    registerUndo(this, localized("Branch Picture"), [old = m_picture](IXBranchNode& branch) { branch.setPicture(old); });
    if (const std::shared_ptr<IXPictureNode> old = std::exchange(m_picture, nullptr)) {
        old->removeObserver(this);
        if (old->parentNode() == this) old->setParentNode(nullptr);
    }
    m_picture = picture;
    if (m_picture) {
        m_picture->setParentNode(this);
        m_picture->addObserver(this);
    }
    notifyPropertyChange(IXProperties::Picture);
}

std::shared_ptr<IXPictureNode> IXBranchNode::addPicture()
{
    auto picture = std::make_shared<IXPictureNode>();
    picture->setParentNode(this);
    setPicture(picture);
    return picture;
}

void IXBranchNode::removePicture()
{
    setPicture(nullptr);
}

void IXBranchNode::setComment(const std::shared_ptr<IXCommentNode>& comment)
{
    if (comment == m_comment) return;
    registerUndo(this, localized("Comment"), [old = m_comment](IXBranchNode& branch) { branch.setComment(old); });
    if (const std::shared_ptr<IXCommentNode> old = std::exchange(m_comment, nullptr)) {
        old->removeObserver(this);
        if (old->parentNode() == this) old->setParentNode(nullptr);
    }
    m_comment = comment;
    if (m_comment) {
        m_comment->setParentNode(this);
        m_comment->setPlainText(true);
        m_comment->addObserver(this);
    }
    notifyPropertyChange(IXProperties::Comment);
}

std::shared_ptr<IXCommentNode> IXBranchNode::addComment()
{
    auto comment = std::make_shared<IXCommentNode>();
    comment->setPlainText(true);
    comment->setParentNode(this);
    setComment(comment);
    return comment;
}

void IXBranchNode::removeComment()
{
    setComment(nullptr);
}

IXBranchNode::ReferenceList IXBranchNode::allReferences() const
{
    ReferenceList references;
    references.reserve(referencesCount());
    for (const auto& note : m_textnotes) references.append(note);
    for (const auto& connection : m_connections) references.append(connection);
    references.append(m_attachments);
    return references;
}

void IXBranchNode::addReference(const std::shared_ptr<IXReferenceNode>& reference)
{
    PL_ASSERT_PARAM(reference, "reference");
    // Listed once: a reference listed twice would be written twice.
    if (indexOfNode(m_textnotes, reference.get()) >= 0 || indexOfNode(m_connections, reference.get()) >= 0
        || indexOfNode(m_attachments, reference.get()) >= 0)
        return;
    const std::shared_ptr<IXReferenceNode> keep = reference;
    registerUndo(this, referenceActionName(*keep), [keep](IXBranchNode& branch) { branch.removeReference(keep); });
    insertReference(keep, -1);
}

void IXBranchNode::insertReference(const std::shared_ptr<IXReferenceNode>& reference, qsizetype index)
{
    const auto insertAt = [index](auto& list, auto node) {
        list.insert((index < 0 || index > list.size()) ? list.size() : index, std::move(node));
    };
    bool connection = false;
    // By type; a node whose class does not match its type is kept as an attachment.
    if (reference->type() == IXReferenceNode::TypeComment && std::dynamic_pointer_cast<IXCommentNode>(reference)) {
        insertAt(m_textnotes, std::static_pointer_cast<IXCommentNode>(reference));
    } else if (reference->type() == IXReferenceNode::TypeConnection && reference->isConnection()) {
        insertAt(m_connections, std::static_pointer_cast<IXConnectionNode>(reference));
        connection = true;
    } else {
        insertAt(m_attachments, reference);
    }
    reference->setParentNode(this);
    notifyPropertyChange(IXProperties::References);
    if (connection) notifyPropertyChange(IXProperties::Connections);
}

void IXBranchNode::removeReference(const std::shared_ptr<IXReferenceNode>& reference)
{
    if (!reference) return;
    const std::shared_ptr<IXReferenceNode> keep = reference;
    qsizetype index = indexOfNode(m_textnotes, keep.get());
    bool connection = false;
    if (index >= 0) {
        m_textnotes.removeAt(index);
    } else if ((index = indexOfNode(m_connections, keep.get())) >= 0) {
        m_connections.removeAt(index);
        connection = true;
    } else if ((index = indexOfNode(m_attachments, keep.get())) >= 0) {
        m_attachments.removeAt(index);
    } else {
        return;
    }
    // The undo puts it back at its place, not at the end of the list.
    registerUndo(this, referenceActionName(*keep),
                 [keep, index](IXBranchNode& branch) { branch.reinsertReference(keep, index); });
    if (keep->parentNode() == this) keep->setParentNode(nullptr);
    notifyPropertyChange(IXProperties::References);
    if (connection) notifyPropertyChange(IXProperties::Connections);
}

void IXBranchNode::reinsertReference(const std::shared_ptr<IXReferenceNode>& reference, qsizetype index)
{
    registerUndo(this, referenceActionName(*reference), [reference](IXBranchNode& branch) { branch.removeReference(reference); });
    insertReference(reference, index);
}

std::shared_ptr<IXCommentNode> IXBranchNode::addTextnote()
{
    // Targeted while still outside the document, so the step is named after the note alone.
    auto note = std::make_shared<IXCommentNode>();
    note->setTargetRef(IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationLocal, note->uniqueId()));
    note->setParentNode(this);
    addReference(note);
    return note;
}

std::shared_ptr<IXConnectionNode> IXBranchNode::addConnection()
{
    auto connection = std::make_shared<IXConnectionNode>();
    connection->setParentNode(this);
    addReference(connection);
    return connection;
}

std::shared_ptr<IXReferenceNode> IXBranchNode::addAttachment()
{
    auto attachment = std::make_shared<IXReferenceNode>();
    attachment->setParentNode(this);
    addReference(attachment);
    return attachment;
}

std::shared_ptr<IXReferenceNode> IXBranchNode::addAttachmentWithType(int subtype)
{
    auto attachment = std::make_shared<IXReferenceNode>();
    attachment->setSubtype(subtype);
    attachment->setParentNode(this);
    addReference(attachment);
    return attachment;
}

QString IXBranchNode::warningSolveTitle(const IXWarning& warning) const
{
    return IXWarningsSolving::warningSolveTitle(warning, allReferences());
}

bool IXBranchNode::warningSolve(const IXWarning& warning) const
{
    return IXWarningsSolving::warningSolve(warning, allReferences());
}

void IXBranchNode::setIcons(const QStringList& icons)
{
    if (icons == m_icons) return;
    registerUndo(this, localized("Branch Icons"), [old = m_icons](IXBranchNode& branch) { branch.setIcons(old); });
    m_icons = icons;
    notifyPropertyChange(IXProperties::Icons);
}

void IXBranchNode::appendIcon(const QString& name)
{
    registerUndo(this, localized("Branch Icons"), [old = m_icons](IXBranchNode& branch) { branch.setIcons(old); });
    m_icons.append(name);
    notifyPropertyChange(IXProperties::Icons);
}

void IXBranchNode::removeIcon(const QString& name)
{
    registerUndo(this, localized("Branch Icons"), [old = m_icons](IXBranchNode& branch) { branch.setIcons(old); });
    m_icons.removeAll(name);
    notifyPropertyChange(IXProperties::Icons);
}

// --- Dates ---

void IXBranchNode::setBeginDate(const std::optional<UTDateTime>& date)
{
    if (sameDate(date, m_beginDate)) return;
    dropUnreadDate(BeginSlot);
    if (!date && m_endDate) setEndDate(std::nullopt);
    registerUndo(this, localized("Branch Date"), [old = m_beginDate](IXBranchNode& branch) { branch.setBeginDate(old); });
    m_beginDate = date;
    notifyPropertyChange(IXProperties::BeginDate);
    if (m_beginDate && m_endDate && m_endDate->compare(m_beginDate) < 0) setEndDate(m_beginDate);
}

void IXBranchNode::setEndDate(const std::optional<UTDateTime>& date)
{
    if (sameDate(date, m_endDate)) return;
    dropUnreadDate(EndSlot);
    dropUnreadDate(End2Slot);  // goes with the end date, as a readable one would
    setEndDate2(std::nullopt);
    registerUndo(this, localized("Branch Date"), [old = m_endDate](IXBranchNode& branch) { branch.setEndDate(old); });
    m_endDate = date;
    notifyPropertyChange(IXProperties::EndDate);
    if (m_endDate && (!m_beginDate || m_endDate->compare(m_beginDate) < 0)) setBeginDate(m_endDate);
}

void IXBranchNode::setEndDate2(const std::optional<UTDateTime>& date)
{
    if (sameDate(date, m_endDate2)) return;
    dropUnreadDate(End2Slot);
    registerUndo(this, localized("Branch Date"), [old = m_endDate2](IXBranchNode& branch) { branch.setEndDate2(old); });
    m_endDate2 = date;
    notifyPropertyChange(IXProperties::EndDate);
}

void IXBranchNode::dropUnreadDate(DateSlot slot)
{
    QString& text = m_unreadDates[slot];
    if (text.isEmpty()) return;
    // Registered before the date's own step, so undoing brings the text back after the date.
    registerUndo(this, localized("Branch Date"), [slot, old = text](IXBranchNode& branch) {
        branch.m_unreadDates[slot] = old;
    });
    text.clear();
}

void IXBranchNode::resetDates()
{
    forEachBranchBelow([](IXBranchNode& branch) {
        if (branch.m_beginDate) branch.setBeginDate(std::nullopt);
    });
}

// --- Look-ups ---

std::shared_ptr<IXBranchNode> IXBranchNode::branchForId(const QString& uniqueId)
{
    const std::shared_ptr<IXNode> node = nodeForId(uniqueId);
    if (node && node->isBranch()) return std::static_pointer_cast<IXBranchNode>(node);
    if (!node || uniqueId.isEmpty()) return nullptr;
    // Another kind of node carries the id too (a broken file): look for a branch of it.
    std::shared_ptr<IXBranchNode> found;
    forEachBranchBelow([&](IXBranchNode& branch) {
        if (!found && branch.isEqual(uniqueId)) found = std::static_pointer_cast<IXBranchNode>(branch.shared_from_this());
    });
    return found;
}

std::shared_ptr<IXNode> IXBranchNode::nodeForId(const QString& uniqueId)
{
    if (uniqueId.isEmpty()) return nullptr;
    // Attached nodes are indexed by the document: take its answer when the receiver's walk
    // would reach it; an id repeated elsewhere (a broken file) falls back to the walk.
    if (IXDocumentNode* document = documentNode()) {
        const std::shared_ptr<IXNode> candidate = document->nodeForId(uniqueId);
        if (!candidate) return nullptr;
        if (isInSubtree(candidate.get())) return candidate;
    }
    // In the documented order: the branch, its picture and comment, the sub-branches (each
    // in this order), then its text notes, connections and attachments.
    struct Frame {
        IXBranchNode* branch;
        bool referencesNext;
    };
    std::vector<Frame> pending{{this, false}};
    while (!pending.empty()) {
        const Frame frame = pending.back();
        pending.pop_back();
        IXBranchNode* branch = frame.branch;
        if (frame.referencesNext) {
            for (const auto& reference : branch->allReferences()) {
                if (reference->isEqual(uniqueId)) return reference;
            }
            continue;
        }
        if (branch->isEqual(uniqueId)) return branch->shared_from_this();
        if (branch->m_picture && branch->m_picture->isEqual(uniqueId)) return branch->m_picture;
        if (branch->m_comment && branch->m_comment->isEqual(uniqueId)) return branch->m_comment;
        pending.push_back({branch, true});
        for (auto it = branch->m_branches.crbegin(); it != branch->m_branches.crend(); ++it) pending.push_back({it->get(), false});
    }
    return nullptr;
}

std::shared_ptr<IXReferenceNode> IXBranchNode::referenceForId(const QString& uniqueId)
{
    if (uniqueId.isEmpty()) return nullptr;
    if (IXDocumentNode* document = documentNode()) {
        const std::shared_ptr<IXNode> candidate = document->nodeForId(uniqueId);
        if (!candidate) return nullptr;
        IXNode* owner = candidate->parentNode();
        if (owner && owner->isBranch() && isInSubtree(owner)) {
            const ReferenceList references = static_cast<IXBranchNode*>(owner)->allReferences();
            for (const auto& reference : references) {
                if (reference == candidate) return reference;
            }
        }
    }
    std::shared_ptr<IXReferenceNode> found;
    forEachBranchBelow([&](IXBranchNode& branch) {
        if (found) return;
        for (const auto& reference : branch.allReferences()) {
            if (reference->isEqual(uniqueId)) {
                found = reference;
                return;
            }
        }
    });
    return found;
}

void IXBranchNode::notifyPropertyChange(const QString& property)
{
    send(IXBranchNodeDidChangeProperty, this, property);
}

void IXBranchNode::validateContent()
{
    for (const auto& branch : BranchList(m_branches)) branch->validateContent();
    for (const auto& note : QList(m_textnotes)) note->validateContent();
    for (const auto& attachment : ReferenceList(m_attachments)) attachment->validateContent();
    for (const auto& connection : QList(m_connections)) connection->validateContent();
    if (m_picture) m_picture->validateContent();
    if (m_comment) m_comment->validateContent();
}

bool IXBranchNode::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXPictureNodeDidChangeProperty, IXCommentNodeDidChangeProperty});
}

void IXBranchNode::notifiedOfPictureNode(IXPictureNode* picture, const QString&)
{
    if (picture && picture == m_picture.get()) notifyPropertyChange(IXProperties::Picture);
}

void IXBranchNode::notifiedOfCommentNode(IXCommentNode* comment, const QString&)
{
    if (comment && comment == m_comment.get()) notifyPropertyChange(IXProperties::Comment);
}

void IXBranchNode::observeOwnedNodes(bool observe)
{
    for (IXNode* owned : {static_cast<IXNode*>(m_picture.get()), static_cast<IXNode*>(m_comment.get())}) {
        if (!owned) continue;
        if (observe) {
            owned->addObserver(this);
        } else {
            owned->removeObserver(this);
        }
    }
}

// --- Nodes and styles carried while outside a document ---

void IXBranchNode::clearSavedStyles()
{
    forEachBranchBelow([](IXBranchNode& branch) { branch.m_styles.take({}); });
}

void IXBranchNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXNode::attachToDocumentNode(document);
    if (!document) return;
    const QList<std::shared_ptr<IXNode>> linked = std::exchange(m_linkedNodes, {});
    for (const auto& node : linked) {
        if (node->parentNode() == document) continue;
        document->addFloatingNode(node);
        if (auto* reference = dynamic_cast<IXReferenceNode*>(node.get())) reference->setFloatingTargetNode(shared_from_this());
    }
    m_styles.restore(*this);
    for (const auto& child : ownedChildren()) child->attachToDocumentNode(document);
    observeOwnedNodes(true);
}

void IXBranchNode::detachFromDocumentNode()
{
    IXDocumentNode* document = documentNode();
    if (!document) return;
    if (!document->isClosing()) {
        m_linkedNodes = document->nodesLinkedTo(this);
        for (const auto& node : std::as_const(m_linkedNodes)) {
            if (node->parentNode() == document) document->removeFloatingNode(node);
        }
        m_styles.save(*this);
    }
    observeOwnedNodes(false);
    for (const auto& child : ownedChildren()) child->detachFromDocumentNode();
    IXNode::detachFromDocumentNode();
}

// --- XML ---

bool IXBranchNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXNode::initWithParent(parent, element, error)) return false;
    const LastChildren last = lastChildren(element);
    m_title = last.title ? last.title.text() : element.attribute("title");
    if (m_title.isEmpty()) m_title = defaultTitle();
    m_includeInExport = UTXMLAttributes::boolValueForAttribute(element, "export", true);
    m_beginDate = dateAttribute(element, "start", m_unreadDates[BeginSlot]);
    m_endDate = dateAttribute(element, "end", m_unreadDates[EndSlot]);
    m_endDate2 = dateAttribute(element, "end2", m_unreadDates[End2Slot]);
    // Of the picture and the comment the last one counts.
    if (const PLXMLElement comment = last.comment) {
        m_comment = IXReferenceNode::readNode<IXCommentNode>(this, comment, error);
        if (!m_comment) return false;
        m_comment->addObserver(this);
    }
    if (const PLXMLElement picture = last.picture) {
        m_picture = IXReferenceNode::readNode<IXPictureNode>(this, picture, error);
        if (!m_picture) return false;
        m_picture->addObserver(this);
    }
    for (PLXMLElement child = element.firstChildElement(); child; child = child.nextSiblingElement()) {
        bool read = true;
        if (child.hasName("icon")) {
            if (child.hasAttribute("name")) m_icons.append(child.attribute("name"));
        } else if (child.hasName("note")) {
            read = readInto(this, child, error, m_textnotes);
        } else if (child.hasName("connection")) {
            read = readInto(this, child, error, m_connections);
        } else if (child.hasName("reference")) {
            read = readInto(this, child, error, m_attachments);
        } else if (child.hasName("branch")) {
            auto branch = std::make_shared<IXBranchNode>();
            read = branch->initWithParent(this, child, error);
            if (read) {
                m_branches.append(branch);
            } else if (branch->parentNode()) {
                branch->setParentNode(nullptr);  // never released while attached
            }
        }
        if (!read) return false;
    }
    return true;
}

PLXMLElement IXBranchNode::XMLElement(PLXMLElement parent)
{
    PLXMLElement element = parent.addChildElement("branch");
    writeBaseXMLAttributes(element);
    UTXMLAttributes::setIntValue(element, m_level, "level");
    UTXMLAttributes::setBoolValue(element, m_includeInExport, "export");
    writeDate(element, "start", m_beginDate, m_unreadDates[BeginSlot]);
    writeDate(element, "end", m_endDate, m_unreadDates[EndSlot]);
    writeDate(element, "end2", m_endDate2, m_unreadDates[End2Slot]);
    if (!m_title.isEmpty()) element.addChildElement("title").setText(m_title);
    if (m_comment) m_comment->XMLElement(element);
    for (const QString& icon : m_icons) element.addChildElement("icon").setAttribute("name", icon);
    if (m_picture) m_picture->XMLElement(element);
    // Copies: writing may make ids, which must not disturb the iteration.
    for (const auto& note : QList(m_textnotes)) note->XMLElement(element);
    for (const auto& connection : QList(m_connections)) connection->XMLElement(element);
    for (const auto& attachment : ReferenceList(m_attachments)) attachment->XMLElement(element);
    for (const auto& branch : BranchList(m_branches)) branch->XMLElement(element);
    return element;
}
