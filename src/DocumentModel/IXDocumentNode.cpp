#include "DocumentModel/IXDocumentNode.h"

#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/PLAssert.h"
#include "Platform/PLLocalizedStrings.h"
#include "Platform/PLPropertyList.h"
#include "Platform/PLUndoManager.h"
#include "Platform/PLUUID.h"
#include "Utilities/UTErrors.h"
#include "Utilities/UTStrings.h"

#include <QFileInfo>
#include <QSet>

#include <pwd.h>
#include <unistd.h>

const QString IXDocumentNode::FoldersKey = QStringLiteral("//folders//");
const QString IXDocumentNode::ReferencesKey = QStringLiteral("//references//");

namespace {
const QString PlistExtension = QStringLiteral(".plist");
const QString PathKey = QStringLiteral("path");
const QString FilesKey = QStringLiteral("files");
const QString DatasKey = QStringLiteral("datas");
const QString SelectedKey = QStringLiteral("selected");

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

// Path helpers with the platform's path-component rules: trailing slashes do not count, the
// root is "/".
QString lastPathComponent(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/'))) trimmed.chop(1);
    if (trimmed == QLatin1String("/")) return trimmed;
    return trimmed.section(QLatin1Char('/'), -1);
}

QString deletingLastPathComponent(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/'))) trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return trimmed.left(slash);
}

QStringList folderKeys(const QVariantMap& info)
{
    return info.value(IXDocumentNode::FoldersKey).toStringList();
}

QString keyOfFolderPath(const QVariantMap& info, const QString& folderPath)
{
    for (const QString& key : folderKeys(info)) {
        if (info.value(key).toMap().value(PathKey).toString() == folderPath) return key;
    }
    return QString();
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
    if (!m_workingPath.isEmpty()) return QFileInfo(lastPathComponent(m_workingPath)).completeBaseName();
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
    notifyPropertyChange(QStringLiteral("userName"));
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
    // Tags only need to be unique within the process.
    static int lastTag = 0;
    if (m_spellDocumentTag == 0) m_spellDocumentTag = ++lastTag;
    return m_spellDocumentTag;
}

QStringList IXDocumentNode::ignoredWords()
{
    if (!m_ignoredWords) {
        PLError ignored;
        const std::optional<QVariantMap> part = plistNamed(QStringLiteral("spellchecker"), &ignored);
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
    setPlist({{QStringLiteral("ignoredwords"), *m_ignoredWords}}, QStringLiteral("spellchecker"), &ignored);
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

void IXDocumentNode::replaceNodes(NodeList& list, const NodeList& replacement, const char* property,
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
    notifyPropertyChange(QString::fromLatin1(property));
}

void IXDocumentNode::insertNode(NodeList& list, const std::shared_ptr<IXNode>& node, qsizetype index,
                                const char* property, void (IXDocumentNode::*setter)(const NodeList&),
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
    notifyPropertyChange(QString::fromLatin1(property));
}

void IXDocumentNode::removeListedNode(NodeList& list, const std::shared_ptr<IXNode>& node, const char* property,
                                      void (IXDocumentNode::*setter)(const NodeList&), const QString& actionName)
{
    // A node that is not listed here is left alone: clearing its parent would tear it out of
    // another parent that still lists it.
    if (!node || !list.contains(node)) return;
    const std::shared_ptr<IXNode> keep = node;
    registerUndo(this, actionName, [old = list, setter](IXDocumentNode& document) { (document.*setter)(old); });
    if (keep->parentNode() == this) keep->setParentNode(nullptr);
    list.removeAll(keep);
    notifyPropertyChange(QString::fromLatin1(property));
}

void IXDocumentNode::setBranches(const NodeList& branches)
{
    replaceNodes(m_branches, branches, "rootBranches", &IXDocumentNode::setBranches, QStringLiteral("_setRootBranches"));
}

void IXDocumentNode::setPictures(const NodeList& pictures)
{
    replaceNodes(m_pictures, pictures, "pictures", &IXDocumentNode::setPictures, QStringLiteral("_setPictures"));
}

void IXDocumentNode::setComments(const NodeList& comments)
{
    replaceNodes(m_comments, comments, "comments", &IXDocumentNode::setComments, QStringLiteral("_setComments"));
}

void IXDocumentNode::addRootBranch(const std::shared_ptr<IXNode>& branch)
{
    insertNode(m_branches, branch, -1, "rootBranches", &IXDocumentNode::setBranches, QStringLiteral("_addBranches"));
}

void IXDocumentNode::insertRootBranch(const std::shared_ptr<IXNode>& branch, int index)
{
    if (index < -1) return;
    insertNode(m_branches, branch, index, "rootBranches", &IXDocumentNode::setBranches, QStringLiteral("_addBranches"));
}

void IXDocumentNode::removeRootBranch(const std::shared_ptr<IXNode>& branch)
{
    removeListedNode(m_branches, branch, "rootBranches", &IXDocumentNode::setBranches, QStringLiteral("_removeBranches"));
}

void IXDocumentNode::addPicture(const std::shared_ptr<IXNode>& picture)
{
    insertNode(m_pictures, picture, -1, "pictures", &IXDocumentNode::setPictures, QStringLiteral("_addPicture"));
}

void IXDocumentNode::removePicture(const std::shared_ptr<IXNode>& picture)
{
    removeListedNode(m_pictures, picture, "pictures", &IXDocumentNode::setPictures, QStringLiteral("_removePicture"));
}

void IXDocumentNode::addComment(const std::shared_ptr<IXNode>& comment)
{
    if (!comment) return;
    comment->setPlainText(true);
    insertNode(m_comments, comment, -1, "comments", &IXDocumentNode::setComments, QStringLiteral("_addComment"));
}

void IXDocumentNode::removeComment(const std::shared_ptr<IXNode>& comment)
{
    removeListedNode(m_comments, comment, "comments", &IXDocumentNode::setComments, QStringLiteral("_removeComment"));
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
}

void IXDocumentNode::removeNode(IXNode* node)
{
    forgetNode(node);
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
    if (dynamic_cast<const IXStyleNode*>(node) || dynamic_cast<const IXStyleSheetNode*>(node)) return;
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
    // A multi-hash keeps the most recent entry of a key first: the node attached first, the
    // last live one in the range, wins.
    std::shared_ptr<IXNode> found;
    const auto range = m_nodesById.equal_range(uniqueId);
    for (auto it = range.first; it != range.second; ++it) {
        if (branchesOnly && !(*it)->isBranch()) continue;
        if (std::shared_ptr<IXNode> node = (*it)->weak_from_this().lock()) found = std::move(node);
    }
    return found;
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
    notifyPropertyChange(QStringLiteral("timeScaleType"));
}

UTDateTimeFormatter& IXDocumentNode::timeScaleFormatter()
{
    if (!m_timeScaleFormatter)
        m_timeScaleFormatter = std::make_unique<UTDateTimeFormatter>(UTDateTimeFormatter::formatTypeForTimeScale(m_timeScaleType));
    return *m_timeScaleFormatter;
}

// --- Package parts ---

std::optional<QByteArray> IXDocumentNode::dataNamed(const QString& name, PLError* error) const
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (!m_zipArchive) return std::nullopt;
    return m_zipArchive->dataByName(name, error);
}

bool IXDocumentNode::setData(const QByteArray& data, const QString& name)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (!m_zipArchive) m_zipArchive.emplace();
    return m_zipArchive->setDataForFileName(data, name);
}

bool IXDocumentNode::removeDataNamed(const QString& name)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (m_zipArchive) m_zipArchive->setDataForFileName(QByteArray(), name);
    return true;
}

std::optional<QVariantMap> IXDocumentNode::plistNamed(const QString& name, PLError* error) const
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    PL_ASSERT_PARAM(error, "outError");
    PLError readError;
    const std::optional<QByteArray> data = dataNamed(name + PlistExtension, &readError);
    if (!data) {
        if (readError) PLSetError(error, readError);
        return std::nullopt;
    }
    // A part emptied by removeDataNamed is gone as far as readers are concerned.
    if (data->isEmpty()) return std::nullopt;
    PLError parseError;
    const QVariant value = PLPropertyList::read(*data, &parseError);
    if (!value.isValid()) {
        PLSetError(error, parseError ? parseError : UTErrors::errorWithFailureReason(QStringLiteral("invalid content")));
        return std::nullopt;
    }
    // The reader refuses whatever the writer would, so a dictionary read here can be saved.
    if (value.typeId() != QMetaType::QVariantMap) {
        PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("invalid content")));
        return std::nullopt;
    }
    return value.toMap();
}

bool IXDocumentNode::setPlist(const QVariantMap& dictionary, const QString& name, PLError* error)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    const QByteArray data = PLPropertyList::write(dictionary);
    if (data.isEmpty()) {
        PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("failed to generate plist")));
        return false;
    }
    return setData(data, name + PlistExtension);
}

// --- Option dictionaries ---

QVariantMap& IXDocumentNode::optionsForName(const QString& name)
{
    auto found = m_plists.find(name);
    if (found != m_plists.end()) return found->second;
    QVariantMap options;
    if (m_zipArchive && !name.isEmpty()) {
        PLError ignored;
        if (std::optional<QVariantMap> part = plistNamed(name, &ignored)) options = *part;
    }
    return m_plists.emplace(name, options).first->second;
}

QStringList IXDocumentNode::cachedOptionNames() const
{
    QStringList names;
    for (const auto& entry : m_plists) names << entry.first;
    return names;
}

QVariantMap& IXDocumentNode::userInterfaceOptions()
{
    return optionsForName(QStringLiteral("ui-state"));
}

QVariantMap& IXDocumentNode::additionalFolders()
{
    return optionsForName(QStringLiteral("additional_folders"));
}

QVariantMap IXDocumentNode::copyAdditionalFolders()
{
    // Dictionaries are values here: a copy is already deep.
    return additionalFolders();
}

void IXDocumentNode::setAdditionalFolders(const QVariantMap& folders)
{
    m_plists[QStringLiteral("additional_folders")] = folders;
}

// --- Additional folders ---

QString IXDocumentNode::addAdditionalFolder(const QString& folderPath, QVariantMap* foldersInfo)
{
    if (!foldersInfo || folderPath.isEmpty()) return QString();
    QVariantMap& info = *foldersInfo;
    QStringList keys = folderKeys(info);
    const QString existing = keyOfFolderPath(info, folderPath);
    if (!existing.isEmpty()) return existing;

    QString key = lastPathComponent(folderPath);
    QString rest = folderPath;
    for (;;) {
        rest = deletingLastPathComponent(rest);
        if (!keys.contains(key)) break;
        if (info.value(key).toMap().value(PathKey).toString() == folderPath) return key;
        if (rest.isEmpty() || rest == QLatin1String("/")) {
            // The path ran out and the key still belongs to another folder: number it, so
            // that the new folder never shares another folder's key and files.
            const QString base = key;
            for (int number = 2; keys.contains(key); ++number) key = base + QLatin1Char(' ') + QString::number(number);
            break;
        }
        key = lastPathComponent(rest) + QLatin1Char('/') + key;
    }
    keys.append(key);
    info.insert(FoldersKey, keys);
    info.insert(key, QVariantMap{{PathKey, folderPath}});
    return key;
}

void IXDocumentNode::removeAdditionalFolder(const QString& key, QVariantMap* foldersInfo)
{
    if (!foldersInfo) return;
    QStringList keys = folderKeys(*foldersInfo);
    keys.removeAll(key);
    foldersInfo->insert(FoldersKey, keys);
    foldersInfo->remove(key);
}

QString IXDocumentNode::addAdditionalFolderForFilePath(const QString& filePath, const QByteArray& data,
                                                       const QString& referenceId, QVariantMap* foldersInfo)
{
    if (!foldersInfo || filePath.isEmpty()) return QString();
    const QString key = addAdditionalFolder(deletingLastPathComponent(filePath), foldersInfo);
    if (key.isEmpty()) return QString();
    QVariantMap entry = foldersInfo->value(key).toMap();
    QStringList files = entry.value(FilesKey).toStringList();
    if (!files.contains(filePath)) {
        files.append(filePath);
        entry.insert(FilesKey, files);
    }
    if (!data.isNull()) {
        QVariantMap datas = entry.value(DatasKey).toMap();
        datas.insert(filePath, data);
        entry.insert(DatasKey, datas);
    }
    foldersInfo->insert(key, entry);
    if (!referenceId.isEmpty()) {
        QVariantMap references = foldersInfo->value(ReferencesKey).toMap();
        references.insert(referenceId, filePath);
        foldersInfo->insert(ReferencesKey, references);
    }
    return key + QLatin1Char('/') + lastPathComponent(filePath);
}

QString IXDocumentNode::addAdditionalFolderForFilePath(const QString& filePath, QVariantMap* foldersInfo)
{
    return addAdditionalFolderForFilePath(filePath, QByteArray(), QString(), foldersInfo);
}

void IXDocumentNode::removeAdditionalFolderForFilePath(const QString& filePath, const QString& referenceId,
                                                       QVariantMap* foldersInfo)
{
    if (!foldersInfo) return;
    QString path = filePath;
    if (!referenceId.isEmpty()) {
        QVariantMap references = foldersInfo->value(ReferencesKey).toMap();
        if (path.isEmpty()) path = references.value(referenceId).toString();
        if (references.remove(referenceId) > 0) foldersInfo->insert(ReferencesKey, references);
        // Another reference that brought in the same file (a copy, a second link) still
        // needs it: only the reference's own entry goes.
        for (auto it = references.constBegin(); it != references.constEnd(); ++it) {
            if (!path.isEmpty() && it.value().toString() == path) return;
        }
    }
    if (path.isEmpty()) return;
    const QString key = keyOfFolderPath(*foldersInfo, deletingLastPathComponent(path));
    if (key.isEmpty()) return;
    QVariantMap entry = foldersInfo->value(key).toMap();
    QStringList files = entry.value(FilesKey).toStringList();
    files.removeAll(path);
    entry.insert(FilesKey, files);
    foldersInfo->insert(key, entry);
    if (files.isEmpty() && entry.value(SelectedKey).toInt() == 0) removeAdditionalFolder(key, foldersInfo);
}

void IXDocumentNode::optimizeAdditionalFoldersInfo(QVariantMap* foldersInfo)
{
    if (!foldersInfo) return;
    QStringList keys = folderKeys(*foldersInfo);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QStringList components = keys[i].split(QLatin1Char('/'));
        while (components.size() >= 2
               && !foldersInfo->value(keys[i]).toMap().value(FilesKey).toStringList().isEmpty()) {
            components.removeFirst();
            const QString shorter = components.join(QLatin1Char('/'));
            if (keys.contains(shorter)) break;
            foldersInfo->insert(shorter, foldersInfo->take(keys[i]));
            keys[i] = shorter;
        }
    }
    foldersInfo->insert(FoldersKey, keys);
}

QString IXDocumentNode::addAdditionalFolderForFilePath(const QString& filePath, const QString& referenceId)
{
    return addAdditionalFolderForFilePath(filePath, QByteArray(), referenceId, &additionalFolders());
}

QString IXDocumentNode::addAdditionalFolderForFilePath(const QString& filePath)
{
    return addAdditionalFolderForFilePath(filePath, &additionalFolders());
}

void IXDocumentNode::removeAdditionalFolderForReferenceId(const QString& referenceId)
{
    removeAdditionalFolderForFilePath(QString(), referenceId, &additionalFolders());
}

void IXDocumentNode::removeAdditionalFolderForFilePath(const QString& filePath)
{
    removeAdditionalFolderForFilePath(filePath, QString(), &additionalFolders());
}

QString IXDocumentNode::addAdditionalFolder(const QString& folderPath)
{
    return addAdditionalFolder(folderPath, &additionalFolders());
}

void IXDocumentNode::removeAdditionalFolder(const QString& key)
{
    removeAdditionalFolder(key, &additionalFolders());
}

// --- Validation ---

void IXDocumentNode::validateContent()
{
    QVariantMap& folders = additionalFolders();
    if (folders.contains(FoldersKey)) {
        QStringList keys = folderKeys(folders);
        keys.removeIf([&folders](const QString& key) { return !folders.contains(key); });
        folders.insert(FoldersKey, keys);
    }
    const NodeList children = m_branches + m_pictures + m_comments;
    for (const auto& child : children) child->validateContent();
}
