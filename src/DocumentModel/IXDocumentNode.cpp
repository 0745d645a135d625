#include "DocumentModel/IXDocumentNode.h"

#include "DocumentModel/IXAdditionalFolders.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Text/PLSpellChecker.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Core/PLUUID.h"
#include "Utilities/UTStrings.h"

#include <QFileInfo>
#include <QSet>

#include <pwd.h>
#include <unistd.h>

namespace {

QString currentUserFullName()
{
    if (const passwd* entry = getpwuid(getuid())) {
        // The full name is the first field of the comment field.
        const QString fullName = QString::fromLocal8Bit(entry->pw_gecos ? entry->pw_gecos : "").section(QLatin1Char(','), 0, 0).trimmed();
        if (!fullName.isEmpty()) return fullName;
        if (entry->pw_name) return QString::fromLocal8Bit(entry->pw_name);
    }
    return qEnvironmentVariable("USER");
}

void insertNodes(QSet<IXNode*>& set, const IXDocumentNode::NodeList& list)
{
    for (const auto& node : list) set.insert(node.get());
}
}

IXDocumentNode::IXDocumentNode()
{
    m_documentNode = this;
}

IXDocumentNode::~IXDocumentNode()
{
    m_deallocating = true;
    // Children leave the document before it goes, so that none keeps a link to it. Undo and
    // notifications are off from here on.
    const NodeList children = m_branches + m_pictures + m_comments;
    for (const auto& child : children) {
        if (child->parentNode() == this) child->setParentNode(nullptr);
    }
    m_branches.clear();
    m_pictures.clear();
    m_comments.clear();
    releaseStyles();
    m_nodesById.clear();
    m_documentNode = nullptr;
}

QString IXDocumentNode::newUniqueId()
{
    return PLUUID::newIdString();
}

std::shared_ptr<IXNode> IXDocumentNode::copy() const
{
    PLAssertionFailed("the document node cannot be copied");
}

void IXDocumentNode::setParentNode(IXNode* parent)
{
    PL_ASSERT_PARAM(parent == nullptr, "parent == nil");
}

// --- Document data ---

QString IXDocumentNode::documentName() const
{
    if (!m_workingPath.isEmpty()) return QFileInfo(UTStrings::lastPathComponent(m_workingPath)).completeBaseName();
    if (!m_branches.isEmpty()) return UTStrings::stringByReplacingLineEndingsWithSpace(m_branches.first()->title());
    return QString();
}

QString IXDocumentNode::userName() const
{
    return m_userName ? *m_userName : currentUserFullName();
}

void IXDocumentNode::setUserName(const QString& userName)
{
    setStoredUserName(userName);
}

void IXDocumentNode::setStoredUserName(const std::optional<QString>& userName)
{
    if (m_userName == userName) return;
    // The undo may bring back "no author stored", so it goes through the optional form.
    registerUndo(this, QStringLiteral("_setUserName"),
                 [old = m_userName](IXDocumentNode& document) { document.setStoredUserName(old); });
    m_userName = userName;
    notifyPropertyChange(IXProperties::UserName);
}

QDateTime IXDocumentNode::modificationDate()
{
    if (m_modificationDate.isValid()) return m_modificationDate;
    if (!m_workingPath.isEmpty()) {
        const QFileInfo info(m_workingPath);
        if (info.exists()) {
            m_modificationDate = info.lastModified();
            return m_modificationDate;
        }
    }
    return currentDateTime();
}

namespace {
std::function<QDateTime()>& installedClock()
{
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime IXDocumentNode::currentDateTime()
{
    return installedClock() ? installedClock()() : QDateTime::currentDateTime();
}

void IXDocumentNode::setClock(std::function<QDateTime()> clock)
{
    installedClock() = std::move(clock);
}

int IXDocumentNode::spellDocumentTag()
{
    // One counter for every spell document of the process, so that no other spell document
    // shares this document's ignored words.
    if (m_spellDocumentTag == 0) {
        m_spellDocumentTag = PLSpellChecker::uniqueSpellDocumentTag();
        // The words ignored before the document was last saved count from the start.
        const QStringList words = ignoredWords();
        if (!words.isEmpty()) PLSpellChecker::sharedChecker().setIgnoredWords(words, m_spellDocumentTag);
    }
    return m_spellDocumentTag;
}

QStringList IXDocumentNode::ignoredWords()
{
    if (!m_ignoredWords) {
        PLError ignored;
        const std::optional<QVariantMap> part = m_parts.plistNamed(QStringLiteral("spellchecker"), &ignored);
        const QVariant words = part ? part->value(QStringLiteral("ignoredwords")) : QVariant();
        if (words.typeId() == QMetaType::QVariantList) {
            QStringList list;
            for (const QVariant& word : words.toList()) {
                if (word.typeId() == QMetaType::QString) list << word.toString();
            }
            m_ignoredWords = list;
        }
    }
    return m_ignoredWords.value_or(QStringList());
}

void IXDocumentNode::saveIgnoredWords()
{
    if (!m_ignoredWords) return;
    PLError ignored;
    m_parts.setPlist({{QStringLiteral("ignoredwords"), *m_ignoredWords}}, QStringLiteral("spellchecker"), &ignored);
}

// --- Undo and observers ---

void IXDocumentNode::disableUndo()
{
    ++m_undoDisabled;
}

void IXDocumentNode::enableUndo()
{
    PL_ASSERT_PARAM(m_undoDisabled > 0, "_undoDisabled > 0");
    --m_undoDisabled;
}

PLUndoManager* IXDocumentNode::undoManager() const
{
    if (m_deallocating || m_undoDisabled > 0) return nullptr;
    return m_undo;
}

UTBroadcaster* IXDocumentNode::observers() const
{
    if (m_deallocating) return nullptr;
    if (!m_observers) m_observers = std::make_unique<UTBroadcaster>();
    return m_observers.get();
}

void IXDocumentNode::addToObservers(UTObserver* observer)
{
    PL_ASSERT_PARAM(observer, "observer");
    if (UTBroadcaster* broadcaster = observers()) broadcaster->addObserver(observer);
}

void IXDocumentNode::removeFromObservers(UTObserver* observer)
{
    if (UTBroadcaster* broadcaster = observers()) broadcaster->removeObserver(observer);
}

void IXDocumentNode::notifyPropertyChange(const QString& property)
{
    send(IXDocumentNodeDidChangeProperty, this, property);
}

// --- Root branches, floating pictures and comments ---

void IXDocumentNode::replaceNodes(NodeList& list, const NodeList& replacement, IXProperty property,
                                  void (IXDocumentNode::*setter)(const NodeList&), const QString& actionName)
{
    if (list == replacement) return;
    const NodeList old = list;
    const NodeList incoming = replacement;  // the argument may be a list of ours
    registerUndo(this, actionName, [old, setter](IXDocumentNode& document) { (document.*setter)(old); });
    QSet<IXNode*> oldSet;
    QSet<IXNode*> newSet;
    insertNodes(oldSet, old);
    insertNodes(newSet, incoming);
    for (const auto& node : old) {
        if (!newSet.contains(node.get()) && node->parentNode() == this) node->setParentNode(nullptr);
    }
    for (const auto& node : incoming) {
        if (node && !oldSet.contains(node.get())) node->setParentNode(this);
    }
    list.clear();
    QSet<IXNode*> listed;
    // Each node is listed once: a repeated node would be written twice.
    for (const auto& node : incoming) {
        if (node && !listed.contains(node.get())) {
            listed.insert(node.get());
            list.append(node);
        }
    }
    notifyPropertyChange(property);
}

void IXDocumentNode::insertNode(NodeList& list, const std::shared_ptr<IXNode>& node, qsizetype index,
                                IXProperty property, void (IXDocumentNode::*setter)(const NodeList&),
                                const QString& actionName)
{
    if (!node) return;
    const std::shared_ptr<IXNode> keep = node;
    // Only a node of this document can be listed already; any other is added without a scan,
    // so that adding nodes one by one stays linear.
    const bool mayBeListed = keep->documentNode() == this;
    if (mayBeListed && keep->parentNode() == this) {
        // Left where it already is: nothing happens, and no step is recorded.
        const qsizetype present = list.indexOf(keep);
        const qsizetype last = list.size() - 1;
        if (present >= 0 && present == ((index >= 0 && index <= last) ? index : last)) return;
    }
    registerUndo(this, actionName, [old = list, setter](IXDocumentNode& document) { (document.*setter)(old); });
    keep->setParentNode(this);
    // A node already listed moves to the new place instead of being listed twice.
    if (mayBeListed) list.removeAll(keep);
    if (index >= 0 && index <= list.size()) {
        list.insert(index, keep);
    } else {
        list.append(keep);
    }
    notifyPropertyChange(property);
}

void IXDocumentNode::removeListedNode(NodeList& list, const std::shared_ptr<IXNode>& node, IXProperty property,
                                      void (IXDocumentNode::*setter)(const NodeList&), const QString& actionName)
{
    // A node that is not listed here is left alone: clearing its parent would tear it out of
    // another parent that still lists it.
    if (!node || !list.contains(node)) return;
    const std::shared_ptr<IXNode> keep = node;
    registerUndo(this, actionName, [old = list, setter](IXDocumentNode& document) { (document.*setter)(old); });
    if (keep->parentNode() == this) keep->setParentNode(nullptr);
    list.removeAll(keep);
    notifyPropertyChange(property);
}

void IXDocumentNode::setBranches(const NodeList& branches)
{
    replaceNodes(m_branches, branches, IXProperties::RootBranches, &IXDocumentNode::setBranches, QStringLiteral("_setRootBranches"));
}

void IXDocumentNode::setPictures(const NodeList& pictures)
{
    replaceNodes(m_pictures, pictures, IXProperties::Pictures, &IXDocumentNode::setPictures, QStringLiteral("_setPictures"));
}

void IXDocumentNode::setComments(const NodeList& comments)
{
    replaceNodes(m_comments, comments, IXProperties::Comments, &IXDocumentNode::setComments, QStringLiteral("_setComments"));
}

void IXDocumentNode::addRootBranch(const std::shared_ptr<IXNode>& branch)
{
    insertNode(m_branches, branch, -1, IXProperties::RootBranches, &IXDocumentNode::setBranches, QStringLiteral("_addBranches"));
}

void IXDocumentNode::insertRootBranch(const std::shared_ptr<IXNode>& branch, int index)
{
    if (index < -1) return;
    insertNode(m_branches, branch, index, IXProperties::RootBranches, &IXDocumentNode::setBranches, QStringLiteral("_addBranches"));
}

void IXDocumentNode::removeRootBranch(const std::shared_ptr<IXNode>& branch)
{
    removeListedNode(m_branches, branch, IXProperties::RootBranches, &IXDocumentNode::setBranches, QStringLiteral("_removeBranches"));
}

void IXDocumentNode::addPicture(const std::shared_ptr<IXNode>& picture)
{
    insertNode(m_pictures, picture, -1, IXProperties::Pictures, &IXDocumentNode::setPictures, QStringLiteral("_addPicture"));
}

void IXDocumentNode::removePicture(const std::shared_ptr<IXNode>& picture)
{
    removeListedNode(m_pictures, picture, IXProperties::Pictures, &IXDocumentNode::setPictures, QStringLiteral("_removePicture"));
}

void IXDocumentNode::addComment(const std::shared_ptr<IXNode>& comment)
{
    if (!comment) return;
    comment->setPlainText(true);
    insertNode(m_comments, comment, -1, IXProperties::Comments, &IXDocumentNode::setComments, QStringLiteral("_addComment"));
}

void IXDocumentNode::removeComment(const std::shared_ptr<IXNode>& comment)
{
    removeListedNode(m_comments, comment, IXProperties::Comments, &IXDocumentNode::setComments, QStringLiteral("_removeComment"));
}

void IXDocumentNode::addFloatingNode(const std::shared_ptr<IXNode>& node)
{
    if (!node) return;
    if (node->isPicture()) {
        addPicture(node);
    } else if (node->isComment()) {
        addComment(node);
    }
}

void IXDocumentNode::removeFloatingNode(const std::shared_ptr<IXNode>& node)
{
    if (!node) return;
    if (node->isPicture()) {
        removePicture(node);
    } else if (node->isComment()) {
        removeComment(node);
    }
}

// --- Look-ups ---

void IXDocumentNode::addNode(IXNode* node)
{
    const QList<std::shared_ptr<IXWarning>> moving = node->m_warnings;
    node->m_warnings.clear();
    for (const auto& warning : moving) addWarning(warning);
    indexNode(node);
    if (node->isConnection()) ++m_connectionCount;
}

void IXDocumentNode::removeNode(IXNode* node)
{
    forgetNode(node);
    if (node->isConnection() && m_connectionCount > 0) --m_connectionCount;
    QList<std::shared_ptr<IXWarning>> returning;
    for (const auto& warning : std::as_const(m_warnings)) {
        if (warning->isOwnedBy(node)) returning.append(warning);
    }
    if (returning.isEmpty()) return;
    m_warnings.removeIf([node](const std::shared_ptr<IXWarning>& warning) { return warning->isOwnedBy(node); });
    for (const auto& warning : returning) node->addWarning(warning);
    // The document's own list shrank: its observers hear of it as of any removal.
    send(IXNodeWarning, static_cast<IXNode*>(this), std::shared_ptr<IXWarning>());
}

void IXDocumentNode::indexNode(IXNode* node)
{
    const QString& uid = node->existingUniqueId();
    // Look-ups by id find the nodes of the map and the layouts. Styles and sheets take an id
    // only from a style sheet part, where a damaged file could repeat the id of a branch and
    // then shadow it once the branch is attached again (cut and undo).
    // The nodes of the map say what they are; only the others need the (costly) casts.
    const bool mapNode = node->isBranch() || node->isComment() || node->isPicture() || node->isConnection();
    if (!mapNode && (dynamic_cast<const IXStyleNode*>(node) || dynamic_cast<const IXStyleSheetNode*>(node))) return;
    // A node is indexed once: it joins the index as it attaches (always after leaving any
    // document) or as its id is made, which happens once.
    if (!uid.isEmpty()) m_nodesById.insert(uid, node);
}

void IXDocumentNode::forgetNode(IXNode* node)
{
    const QString& uid = node->existingUniqueId();
    if (!uid.isEmpty()) m_nodesById.remove(uid, node);
}

std::shared_ptr<IXNode> IXDocumentNode::indexedNode(const QString& uniqueId, bool branchesOnly) const
{
    // When a broken file repeats an id, the node attached first (and still alive) wins.
    for (IXNode* node : m_nodesById.nodes(uniqueId)) {
        if (branchesOnly && !node->isBranch()) continue;
        if (std::shared_ptr<IXNode> found = node->weak_from_this().lock()) return found;
    }
    return nullptr;
}

std::shared_ptr<IXNode> IXDocumentNode::nodeForId(const QString& uniqueId) const
{
    if (uniqueId.isEmpty()) return nullptr;
    if (uniqueId == existingUniqueId()) return std::const_pointer_cast<IXNode>(shared_from_this());
    return indexedNode(uniqueId, false);
}

std::shared_ptr<IXNode> IXDocumentNode::branchForId(const QString& uniqueId) const
{
    if (uniqueId.isEmpty()) return nullptr;
    return indexedNode(uniqueId, true);
}

std::shared_ptr<IXNode> IXDocumentNode::nodeWithId(const NodeList& list, const QString& uniqueId)
{
    for (const auto& node : list) {
        if (node->isEqual(uniqueId)) return node;
    }
    return nullptr;
}

std::shared_ptr<IXNode> IXDocumentNode::pictureForId(const QString& uniqueId) const
{
    return nodeWithId(m_pictures, uniqueId);
}

std::shared_ptr<IXNode> IXDocumentNode::commentForId(const QString& uniqueId) const
{
    return nodeWithId(m_comments, uniqueId);
}

IXDocumentNode::NodeList IXDocumentNode::floatingNodesLinkedTo(const NodeList& list, const IXNode* node) const
{
    NodeList linked;
    if (!node) return linked;
    for (const auto& floating : list) {
        if (floating->floatingTargetNode().get() == node) linked.append(floating);
    }
    return linked;
}

IXDocumentNode::NodeList IXDocumentNode::picturesLinkedTo(const IXNode* node) const
{
    return floatingNodesLinkedTo(m_pictures, node);
}

IXDocumentNode::NodeList IXDocumentNode::commentsLinkedTo(const IXNode* node) const
{
    return floatingNodesLinkedTo(m_comments, node);
}

IXDocumentNode::NodeList IXDocumentNode::nodesLinkedTo(const IXNode* node) const
{
    return picturesLinkedTo(node) + commentsLinkedTo(node);
}

// --- Time scale ---

void IXDocumentNode::setTimeScaleType(int type)
{
    if (type == m_timeScaleType) return;
    registerUndo(this, PLLocalizedStrings::string(QStringLiteral("Time Scale Type")),
                 [old = m_timeScaleType](IXDocumentNode& document) { document.setTimeScaleType(old); });
    m_timeScaleType = type;
    if (m_timeScaleFormatter) m_timeScaleFormatter->setFormatType(UTDateTimeFormatter::formatTypeForTimeScale(type));
    notifyPropertyChange(IXProperties::TimeScaleType);
}

UTDateTimeFormatter& IXDocumentNode::timeScaleFormatter()
{
    if (!m_timeScaleFormatter)
        m_timeScaleFormatter = std::make_unique<UTDateTimeFormatter>(UTDateTimeFormatter::formatTypeForTimeScale(m_timeScaleType));
    return *m_timeScaleFormatter;
}

// --- Option dictionaries ---

QVariantMap& IXDocumentNode::userInterfaceOptions()
{
    return m_parts.optionsForName(QStringLiteral("ui-state"));
}

// --- Validation ---

void IXDocumentNode::validateContent()
{
    m_additionalFolders.dropKeysWithoutRecord();
    const NodeList children = m_branches + m_pictures + m_comments;
    for (const auto& child : children) child->validateContent();
}
