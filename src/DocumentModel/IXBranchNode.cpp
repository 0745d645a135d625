#include "DocumentModel/IXBranchNode.h"

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Platform/PLAssert.h"
#include "Platform/PLLocalizedStrings.h"
#include "Utilities/UTXMLAttributes.h"

#include <QHash>
#include <QSet>

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

std::optional<UTDateTime> dateAttribute(const PLXMLElement& element, QByteArrayView name)
{
    const QString text = element.attribute(name);
    if (text.isEmpty()) return std::nullopt;
    // A date that cannot be read is left out; the branch stays usable.
    return UTDateTime::fromString(text);
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
{
    for (const auto& branch : other.m_branches) {
        std::shared_ptr<IXBranchNode> copied = branch->copyBranch();
        copied->setParentNode(this);
        m_branches.append(copied);
    }
    // The floating nodes and styles that belong to the source come along, so that a pasted
    // copy brings them into the document it joins.
    IXDocumentNode* document = other.documentNode();
    const QList<std::shared_ptr<IXNode>> linked = document ? document->nodesLinkedTo(&other) : other.m_linkedNodes;
    for (const auto& node : linked) m_linkedNodes.append(node->copy());
    m_styleAttributes = document ? document->styleAttributesForNode(const_cast<IXBranchNode*>(&other)) : other.m_styleAttributes;
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
    children.reserve(m_branches.size());
    for (const auto& branch : m_branches) children.append(branch);
    return children;
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
    // Iterative, so that deep trees cannot exhaust the stack.
    std::vector<IXBranchNode*> pending{this};
    while (!pending.empty()) {
        IXBranchNode* branch = pending.back();
        pending.pop_back();
        const int level = branch->levelUnder(branch->parentNode());
        if (level == branch->m_level) continue;
        branch->m_level = level;
        branch->notifyPropertyChange(QStringLiteral("level"));
        for (const auto& child : branch->m_branches) pending.push_back(child.get());
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
    // Each branch is listed once: a repeated branch would be written twice.
    m_branches.clear();
    QSet<const IXBranchNode*> listed;
    for (const auto& branch : incoming) {
        if (!listed.contains(branch.get())) {
            listed.insert(branch.get());
            m_branches.append(branch);
        }
    }
    notifyPropertyChange(QStringLiteral("branches"));
}

void IXBranchNode::insertBranch(const std::shared_ptr<IXBranchNode>& branch, int index)
{
    PL_ASSERT_PARAM(branch, "node");
    // A branch cannot become its own descendant: the tree would turn into a cycle.
    PL_ASSERT_PARAM(branch.get() != this && !isSubbranchOf(branch.get()), "node != self && ![self isSubbranchOf:node]");
    const std::shared_ptr<IXBranchNode> keep = branch;
    const qsizetype present = keep->parentNode() == this ? m_branches.indexOf(keep) : -1;
    registerUndo(this, QStringLiteral("_insertBranch"), [old = m_branches](IXBranchNode& parent) { parent.setBranches(old); });
    if (present >= 0) {
        // Already a sub-branch: it moves instead of being listed twice, as moveBranchAtIndex
        // would place it.
        const qsizetype count = m_branches.size();
        qsizetype target = (index < 0 || index > count) ? count : index;
        m_branches.removeAt(present);
        if (target > present) --target;
        m_branches.insert(target, keep);
    } else {
        keep->setParentNode(this);
        const qsizetype count = m_branches.size();
        m_branches.insert((index < 0 || index > count) ? count : index, keep);
    }
    if (m_level == 0) resetSubbranchSides();
    notifyPropertyChange(QStringLiteral("branches"));
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
    notifyPropertyChange(QStringLiteral("branches"));
}

void IXBranchNode::moveBranchAtIndex(int oldIndex, int newIndex)
{
    PL_ASSERT_PARAM(oldIndex >= 0 && oldIndex < m_branches.size(), "oldIndex >= 0 && oldIndex < [_branches count]");
    const qsizetype count = m_branches.size();
    qsizetype target = (newIndex < 0 || newIndex >= count) ? count : newIndex;
    registerUndo(this, QStringLiteral("_moveBranch"), [old = m_branches](IXBranchNode& parent) { parent.setBranches(old); });
    const std::shared_ptr<IXBranchNode> moving = m_branches.takeAt(oldIndex);
    m_branches.insert(target > oldIndex ? target - 1 : target, moving);
    notifyPropertyChange(QStringLiteral("branches"));
}

void IXBranchNode::resetSubbranchSides()
{
    // Sub-branches of a root branch are spread anew in the map layout.
    IXDocumentNode* document = documentNode();
    if (!document || m_branches.isEmpty()) return;
    const std::shared_ptr<IXStyleSheetNode> sheet = document->layoutForName(IXLayoutMindMapName)->styleSheet();
    for (const auto& branch : m_branches) sheet->styleForNode(branch.get())->setBranchLayoutType(0);
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
    return m_title.isEmpty() ? defaultTitle() : m_title;
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
    notifyPropertyChange(QStringLiteral("title"));
}

void IXBranchNode::setIncludeInExport(bool include)
{
    if (include == m_includeInExport) return;
    registerUndo(this, localized("Include In Export"),
                 [old = m_includeInExport](IXBranchNode& branch) { branch.setIncludeInExport(old); });
    m_includeInExport = include;
    notifyPropertyChange(QStringLiteral("includeInExport"));
}

void IXBranchNode::setIcons(const QStringList& icons)
{
    if (icons == m_icons) return;
    registerUndo(this, localized("Branch Icons"), [old = m_icons](IXBranchNode& branch) { branch.setIcons(old); });
    m_icons = icons;
    notifyPropertyChange(QStringLiteral("icons"));
}

void IXBranchNode::appendIcon(const QString& name)
{
    registerUndo(this, localized("Branch Icons"), [old = m_icons](IXBranchNode& branch) { branch.setIcons(old); });
    m_icons.append(name);
    notifyPropertyChange(QStringLiteral("icons"));
}

void IXBranchNode::removeIcon(const QString& name)
{
    registerUndo(this, localized("Branch Icons"), [old = m_icons](IXBranchNode& branch) { branch.setIcons(old); });
    m_icons.removeAll(name);
    notifyPropertyChange(QStringLiteral("icons"));
}

// --- Dates ---

void IXBranchNode::setBeginDate(const std::optional<UTDateTime>& date)
{
    if (sameDate(date, m_beginDate)) return;
    if (!date && m_endDate) setEndDate(std::nullopt);
    registerUndo(this, localized("Branch Date"), [old = m_beginDate](IXBranchNode& branch) { branch.setBeginDate(old); });
    m_beginDate = date;
    notifyPropertyChange(QStringLiteral("beginDate"));
    if (m_beginDate && m_endDate && m_endDate->compare(m_beginDate) < 0) setEndDate(m_beginDate);
}

void IXBranchNode::setEndDate(const std::optional<UTDateTime>& date)
{
    if (sameDate(date, m_endDate)) return;
    setEndDate2(std::nullopt);
    registerUndo(this, localized("Branch Date"), [old = m_endDate](IXBranchNode& branch) { branch.setEndDate(old); });
    m_endDate = date;
    notifyPropertyChange(QStringLiteral("endDate"));
    if (m_endDate && (!m_beginDate || m_endDate->compare(m_beginDate) < 0)) setBeginDate(m_endDate);
}

void IXBranchNode::setEndDate2(const std::optional<UTDateTime>& date)
{
    if (sameDate(date, m_endDate2)) return;
    registerUndo(this, localized("Branch Date"), [old = m_endDate2](IXBranchNode& branch) { branch.setEndDate2(old); });
    m_endDate2 = date;
    notifyPropertyChange(QStringLiteral("endDate"));
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
    // Attached nodes are indexed by the document: take its answer when it lies below the
    // receiver; an id repeated elsewhere (a broken file) falls back to the walk.
    if (IXDocumentNode* document = documentNode()) {
        const std::shared_ptr<IXNode> candidate = document->nodeForId(uniqueId);
        if (!candidate) return nullptr;
        for (IXNode* node = candidate.get(); node; node = node->parentNode()) {
            if (node == this) return candidate;
        }
    }
    // In the documented order: the branch, its picture and comment, the sub-branches (each
    // in this order), then its references.
    struct Frame {
        IXBranchNode* branch;
        bool childrenDone;
    };
    std::vector<Frame> pending{{this, false}};
    while (!pending.empty()) {
        Frame frame = pending.back();
        pending.pop_back();
        IXBranchNode* branch = frame.branch;
        if (!frame.childrenDone) {
            if (branch->isEqual(uniqueId)) return branch->shared_from_this();
            pending.push_back({branch, true});
            for (auto it = branch->m_branches.crbegin(); it != branch->m_branches.crend(); ++it) pending.push_back({it->get(), false});
        }
    }
    return nullptr;
}

void IXBranchNode::notifyPropertyChange(const QString& property)
{
    send("notifiedOfBranchNode:didChangeProperty:", &IXBranchNodeObserver::notifiedOfBranchNode, this, property);
}

void IXBranchNode::validateContent()
{
    for (const auto& child : ownedChildren()) child->validateContent();
}

// --- Nodes and styles carried while outside a document ---

void IXBranchNode::clearSavedStyles()
{
    forEachBranchBelow([](IXBranchNode& branch) { branch.m_styleAttributes.clear(); });
}

void IXBranchNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXNode::attachToDocumentNode(document);
    if (!document) return;
    const QList<std::shared_ptr<IXNode>> linked = std::exchange(m_linkedNodes, {});
    for (const auto& node : linked) {
        if (node->parentNode() == document) continue;
        document->addFloatingNode(node);
    }
    if (!m_styleAttributes.isEmpty()) document->setStyleAttributesForNode(std::exchange(m_styleAttributes, {}), this);
    for (const auto& child : ownedChildren()) child->attachToDocumentNode(document);
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
        m_styleAttributes = document->styleAttributesForNode(this);
    }
    for (const auto& child : ownedChildren()) child->detachFromDocumentNode();
    IXNode::detachFromDocumentNode();
}

// --- XML ---

bool IXBranchNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXNode::initWithParent(parent, element, error)) return false;
    const PLXMLElement titleElement = element.lastChildElement("title");
    m_title = titleElement ? titleElement.text() : element.attribute("title");
    m_includeInExport = UTXMLAttributes::boolValueForAttribute(element, "export", true);
    m_beginDate = dateAttribute(element, "start");
    m_endDate = dateAttribute(element, "end");
    m_endDate2 = dateAttribute(element, "end2");
    for (PLXMLElement child = element.firstChildElement(); child; child = child.nextSiblingElement()) {
        if (child.hasName("icon")) {
            if (child.hasAttribute("name")) m_icons.append(child.attribute("name"));
        } else if (child.hasName("branch")) {
            auto branch = std::make_shared<IXBranchNode>();
            if (!branch->initWithParent(this, child, error)) return false;
            m_branches.append(branch);
        }
    }
    return true;
}

PLXMLElement IXBranchNode::XMLElement(PLXMLElement parent)
{
    PLXMLElement element = parent.addChildElement("branch");
    writeBaseXMLAttributes(element);
    UTXMLAttributes::setIntValue(element, m_level, "level");
    UTXMLAttributes::setBoolValue(element, m_includeInExport, "export");
    if (m_beginDate) element.setAttribute("start", m_beginDate->stringRepresentation());
    if (m_endDate) element.setAttribute("end", m_endDate->stringRepresentation());
    if (m_endDate2) element.setAttribute("end2", m_endDate2->stringRepresentation());
    if (!m_title.isEmpty()) element.addChildElement("title").setText(m_title);
    for (const QString& icon : m_icons) element.addChildElement("icon").setAttribute("name", icon);
    for (const auto& branch : m_branches) branch->XMLElement(element);
    return element;
}
