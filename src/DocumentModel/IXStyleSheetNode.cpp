#include "DocumentModel/IXStyleSheetNode.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Core/PLLog.h"
#include "Platform/System/PLResources.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoManager.h"
#include "Utilities/UTErrors.h"

#include <QFile>

#include <algorithm>
#include <array>

#include <new>

namespace {
constexpr std::string_view UpdateKey = "updateAllCustomStyles";
const QString XmlExtension = QStringLiteral(".xml");

constexpr std::array<const char*, IXStyleType_Last> TypeNames = {
    "", "canvas", "rootbranch", "mainbranch", "subbranch", "subsubbranch", "picture", "comment", "connection",
};
// The master that each master type inherits from.
constexpr std::array<int, IXStyleType_Last> MasterOfType = {
    0, 0, IXStyleTypeCanvas, IXStyleTypeRootBranch, IXStyleTypeMainBranch, IXStyleTypeSubBranch,
    IXStyleTypeCanvas, IXStyleTypeCanvas, IXStyleTypeCanvas,
};

int typeOfName(const QString& name)
{
    for (int type = 1; type < IXStyleType_Last; ++type) {
        if (name == QLatin1String(TypeNames[type])) return type;
    }
    return IXStyleTypeNode;
}

// Styles and sheets are themselves nodes of the document, but only the nodes of the map
// carry a style: a file that names a style, a sheet or a layout gets nothing.
bool canCarryStyle(const IXNode* node)
{
    return !node->isLayout() && !dynamic_cast<const IXStyleNode*>(node) && !dynamic_cast<const IXStyleSheetNode*>(node);
}

// Tells the document's user that the part was not read, and why in the reader's words.
void warnOfUnreadPart(IXDocumentNode* document, const QString& partName, const PLError& why)
{
    QString words = why.userInfo().value(PLError::UnderlyingErrorKey).toString();
    if (words.isEmpty()) words = why.localizedDescription();
    if (words.endsWith(QLatin1Char('.'))) words.chop(1);
    document->warning(IXWarningMessage(QStringLiteral("StyleSheetUnreadable")).arg(partName, words));
}

std::shared_ptr<IXStyleSheetNode> defaultStyleSheet(const QString& xmlName)
{
    const QString path = PLResources::pathFor(xmlName + XmlExtension);
    if (path.isEmpty()) return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    PLError error;
    std::shared_ptr<IXStyleSheetNode> sheet = IXStyleSheetNode::styleSheetFromData(file.readAll(), &error);
    // The shipped sheets are ours: a fault in one is for the log, not for the user.
    if (error) PLLog::write(QStringLiteral("%1: %2").arg(path, error.localizedDescription()));
    return sheet;
}

// Switches the document's undo off for the lifetime of the guard.
class UndoSwitchedOff {
public:
    explicit UndoSwitchedOff(IXDocumentNode* document) : m_document(document)
    {
        if (m_document) m_document->disableUndo();
    }
    ~UndoSwitchedOff()
    {
        if (m_document) m_document->enableUndo();
    }
    UndoSwitchedOff(const UndoSwitchedOff&) = delete;
    UndoSwitchedOff& operator=(const UndoSwitchedOff&) = delete;

private:
    IXDocumentNode* m_document;
};

// Gives a sheet whose masters hold nothing the shipped masters of its part, as a package
// without the part (or with a part of node styles only) is read.
void applyDefaultMastersIfEmpty(IXStyleSheetNode& sheet, const QString& xmlName, IXDocumentNode* document)
{
    const auto holdsAttributes = [&sheet](int type) { return !sheet.styleForMaster(type)->attributes().isEmpty(); };
    if (holdsAttributes(IXStyleTypeCanvas) || holdsAttributes(IXStyleTypeRootBranch)) return;
    const std::shared_ptr<IXStyleSheetNode> defaults = defaultStyleSheet(xmlName);
    if (!defaults) return;
    UndoSwitchedOff undoOff(document);
    sheet.applyMasterStyle(*defaults);
    // No one has read this sheet yet, so no style shows the masters just replaced: the
    // deferred "master" notices would only force a second full layout.
    PLRunLoop::cancel(&sheet, UpdateKey);
}

// The text of the sheet a package without the part reads.
QByteArray defaultSheetText(const QString& xmlName)
{
    const auto sheet = std::make_shared<IXStyleSheetNode>();
    applyDefaultMastersIfEmpty(*sheet, xmlName, nullptr);
    return sheet->XMLDocument().xmlData(PLXMLDocument::Format::Compact);
}
}

IXStyleSheetNode::IXStyleSheetNode() = default;

IXStyleSheetNode::~IXStyleSheetNode()
{
    PLRunLoop::cancel(this, UpdateKey);
    // Undo steps may keep styles alive beyond the sheet: they must not point back at it.
    m_styles.releaseAll();
}

std::shared_ptr<IXNode> IXStyleSheetNode::copy() const
{
    return std::make_shared<IXStyleSheetNode>();
}

QString IXStyleSheetNode::styleTypeName(int type)
{
    if (type <= IXStyleTypeNode || type >= IXStyleType_Last) return QString();
    return QString::fromLatin1(TypeNames[type]);
}

int IXStyleSheetNode::styleTypeForNode(const IXNode* node)
{
    if (!node) return IXStyleTypeNode;
    if (node->isBranch()) {
        switch (node->level()) {
        case 0: return IXStyleTypeRootBranch;
        case 1: return IXStyleTypeMainBranch;
        case 2: return IXStyleTypeSubBranch;
        default: return IXStyleTypeSubSubBranch;
        }
    }
    if (node->isPicture()) return IXStyleTypePicture;
    if (node->isComment()) return IXStyleTypeComment;
    if (node->isConnection()) return IXStyleTypeConnection;
    if (node->isDocument()) return IXStyleTypeCanvas;
    return IXStyleTypeNode;
}

// --- Loading ---

std::shared_ptr<IXStyleSheetNode> IXStyleSheetNode::fromDocument(IXDocumentNode* document, IXNode* parent,
                                                                 const QString& xmlName)
{
    PL_ASSERT_PARAM(document, "document");
    const QString partName = xmlName + XmlExtension;
    PLError partError;
    const std::optional<QByteArray> data = document->packageParts().dataNamed(partName, &partError);
    std::shared_ptr<IXStyleSheetNode> sheet;
    // Why the part is not read: an entry that cannot even be inflated is kept as it is, like
    // one that does not parse.
    PLError unread = !data && partError ? partError : PLError();
    // Read lazily, long after the package was opened, with the same limits as the first read:
    // a sheet too large for memory is left unread like a damaged one.
    try {
        if (data && !data->isEmpty()) {
            PLError error;
            const PLXMLDocument xml = IXDocumentNode::loadXML(*data, &error, MaximumElementCount);
            if (xml.isNull()) {
                unread = error;
            } else {
                // A schema violation does not stop the reading: the error is not left in the
                // slot, where it would stop the reader at the first style.
                PLError readError;
                sheet = std::make_shared<IXStyleSheetNode>();
                bool read = false;
                {
                    UndoSwitchedOff undoOff(document);
                    read = sheet->initWithParent(parent, xml.rootElement(), &readError);
                }
                if (!read) {
                    sheet->setParentNode(nullptr);
                    warnOfUnreadPart(document, partName,
                                     readError ? readError
                                               : UTErrors::errorWithFailureReason(QStringLiteral("invalid content")));
                    return nullptr;
                }
                // A sheet read in spite of a schema violation: the user hears of it as a warning.
                if (error)
                    document->warning(IXWarningMessage(QStringLiteral("StyleSheetSchemaViolation")).arg(partName, error.localizedDescription()));
            }
        }
    } catch (const std::bad_alloc&) {
        if (sheet) sheet->setParentNode(nullptr);
        sheet.reset();
        unread = UTErrors::errorWithFailureReason(QStringLiteral("not enough memory to read it"));
    }
    if (!sheet) {
        sheet = std::make_shared<IXStyleSheetNode>();
        sheet->setParentNode(parent);
    }
    applyDefaultMastersIfEmpty(*sheet, xmlName, document);
    if (unread) {
        sheet->setKeepsUnreadPart(true);
        warnOfUnreadPart(document, partName, unread);
    }
    return sheet;
}

std::shared_ptr<IXStyleSheetNode> IXStyleSheetNode::loadForOwner(IXDocumentNode* document, IXNode* owner,
                                                                 const QString& xmlName)
{
    if (document) {
        if (std::shared_ptr<IXStyleSheetNode> sheet = fromDocument(document, owner, xmlName)) return sheet;
    }
    auto sheet = std::make_shared<IXStyleSheetNode>();
    sheet->setParentNode(owner);
    // Only a part that could not be read gives no sheet: it stays as it is until the user
    // changes a style of this sheet.
    if (document) sheet->setKeepsUnreadPart(true);
    return sheet;
}

std::shared_ptr<IXStyleSheetNode> IXStyleSheetNode::styleSheetFromData(const QByteArray& data, PLError* error)
{
    if (data.isEmpty()) return nullptr;
    PLError loadError;
    const PLXMLDocument xml = IXDocumentNode::loadXML(data, &loadError, MaximumElementCount);
    if (xml.isNull()) {
        PLSetError(error, loadError);
        return nullptr;
    }
    PLError readError;
    auto sheet = std::make_shared<IXStyleSheetNode>();
    if (!sheet->initWithParent(nullptr, xml.rootElement(), &readError)) {
        PLSetError(error, readError ? readError : UTErrors::errorWithFailureReason(QStringLiteral("invalid content")));
        return nullptr;
    }
    // A schema violation does not stop the reading; the caller still hears of it.
    PLSetError(error, loadError);
    return sheet;
}

// --- Styles ---

std::shared_ptr<IXStyleNode> IXStyleSheetNode::styleForNode(IXNode* node)
{
    PL_ASSERT_PARAM(node, "node");
    PL_ASSERT_PARAM(!node->isLayout(), "![node isLayout]");
    const QString& uid = node->uniqueId();
    if (std::shared_ptr<IXStyleNode> style = m_styles.nodeStyle(uid)) return style;
    auto style = std::make_shared<IXStyleNode>();
    style->setRefId(uid);
    resetStyle(*style, node);
    m_styles.adoptNodeStyle(style);
    return style;
}

std::shared_ptr<const IXStyleNode> IXStyleSheetNode::styleForReading(IXNode* node)
{
    PL_ASSERT_PARAM(node, "node");
    PL_ASSERT_PARAM(!node->isLayout(), "![node isLayout]");
    // The style given last, while nothing that chooses it changed: styles join or leave
    // sheets, and sheets their masters or documents, only with a new change count; a new id
    // forgets it; the depth picks a branch's master. The memo owns the style, and a style
    // leaves its sheet when released by it, so a stale memo can never answer.
    IXNode::ReadingStyle& memo = node->m_readingStyle;
    const int level = node->level();
    const std::uint64_t now = IXStyleSheetStyles::lookupChangeCount();
    if (memo.style && memo.changeCount == now && memo.level == level && memo.style->styleSheet() == this) return memo.style;
    std::shared_ptr<const IXStyleNode> style = findStyleForReading(node);
    memo = {style, now, level};
    return style;
}

std::shared_ptr<IXStyleNode> IXStyleSheetNode::findStyleForReading(IXNode* node)
{
    const QString& uid = node->uniqueId();
    if (m_styles.hasNodeStyles()) {
        if (std::shared_ptr<IXStyleNode> style = m_styles.nodeStyle(uid)) return style;
    }
    // Only a style of its own can name the node to the master sheet's look-up.
    const IXStyleSheetNode* master = m_styles.masterSheet();
    if (master && master->m_styles.hasNodeStyles() && master->m_styles.containsNodeStyle(uid)) return styleForNode(node);
    const int type = styleTypeForNode(node);
    if (const std::shared_ptr<IXStyleNode>& shared = m_styles.sharedStyle(type)) return shared;
    auto shared = std::make_shared<IXStyleNode>();
    resetStyle(*shared, node);
    m_styles.adoptSharedStyle(type, shared);
    return shared;
}

bool IXStyleSheetNode::isSharedStyle(const IXStyleNode* style) const
{
    const auto& shared = m_styles.sharedStyles();
    return style && std::any_of(shared.begin(), shared.end(), [style](const auto& one) { return one.get() == style; });
}

std::shared_ptr<IXStyleNode> IXStyleSheetNode::existingStyleForRef(const QString& refId) const
{
    return m_styles.nodeStyle(refId);
}

std::shared_ptr<IXStyleNode> IXStyleSheetNode::styleForMaster(int type)
{
    PL_ASSERT_PARAM(type >= 0 && type < IXStyleType_Last, "type >= 0 && type < IXStyleType_Last");
    makeMastersIfNeeded();
    return m_styles.masters()[type];
}

IXStyleSheetNode::StyleList IXStyleSheetNode::nodeStyles() const
{
    return m_styles.nodeStyles().values();
}

IXStyleValue IXStyleSheetNode::attribute(IXStyleName name, const IXStyleNode* style) const
{
    PL_ASSERT_PARAM(style, "style");
    return shownValue(name, *style);
}

const IXStyleValue& IXStyleSheetNode::shownValue(IXStyleName name, const IXStyleNode& style) const
{
    if (const IXStyleValue& own = style.ownValue(name)) return own;
    if (const IXStyleNode* inMaster = masterSheetStyle(style)) {
        if (const IXStyleValue& value = inMaster->ownValue(name)) return value;
    }
    return name.slot() >= 0 ? resolvedKnownAttribute(name.slot(), style.master()) : resolvedAttribute(name.text(), style.master());
}

const IXStyleNode* IXStyleSheetNode::masterSheetStyle(const IXStyleNode& style) const
{
    const QString& ref = style.refId();
    const IXStyleSheetNode* master = m_styles.masterSheet();
    if (ref.isEmpty() || !master) return nullptr;
    // The style keeps what its own sheet found. Styles join and leave sheets, and sheets
    // their masters, only with a new change count.
    if (style.styleSheet() != this) return master->existingStyleForRef(ref).get();
    if (style.m_masterSheetStyleAt != IXStyleSheetStyles::lookupChangeCount()) {
        style.m_masterSheetStyle = master->existingStyleForRef(ref);
        style.m_masterSheetStyleAt = IXStyleSheetStyles::lookupChangeCount();
    }
    return style.m_masterSheetStyle.get();
}

void IXStyleSheetNode::dropStaleResolved() const
{
    if (m_resolvedAt == IXStyleSheetStyles::lookupChangeCount()) [[likely]]
        return;
    for (auto& values : m_resolved) values.clear();
    for (KnownResolved& known : m_resolvedKnown) known.found.reset();
    for (auto& groups : m_resolvedText) groups = {};
    m_resolvedAt = IXStyleSheetStyles::lookupChangeCount();
}

const IXStyleValue& IXStyleSheetNode::resolvedAttribute(const QString& name, int type) const
{
    dropStaleResolved();
    QHash<QString, IXStyleValue>& values = m_resolved[resolvedType(type)];
    const auto found = values.constFind(name);
    if (found != values.constEnd()) return *found;
    return *values.insert(name, chainAttribute(name, type));
}

const IXStyleValue& IXStyleSheetNode::resolvedKnownAttribute(int slot, int type) const
{
    dropStaleResolved();
    KnownResolved& known = m_resolvedKnown[resolvedType(type)];
    const auto index = std::size_t(slot);
    if (!known.found[index]) {
        // By key, so that each style on the chain skips its search too.
        known.values[index] = chainAttribute(IXStyleKey(slot), type);
        known.found.set(index);
    }
    return known.values[index];
}

IXStyleValue IXStyleSheetNode::chainAttribute(IXStyleName name, int type) const
{
    IXStyleValue value;
    if (const IXDocumentNode* document = documentNode()) {
        // A document without an id has no style yet: styleForNode makes the id.
        const QString& documentId = document->existingUniqueId();
        if (!documentId.isEmpty()) {
            if (const std::shared_ptr<IXStyleNode> documentStyle = existingStyleForRef(documentId)) {
                value = documentStyle->ownAttribute(name);
                if (value) return value;
            }
        }
    }
    // The master chain. Masters that were never made hold nothing, and their links are the
    // fixed ones; a chain is never longer than the number of types.
    const StyleList& masters = m_styles.masters();
    const IXStyleSheetNode* masterSheet = m_styles.masterSheet();
    for (int step = 0; step < IXStyleType_Last && type > IXStyleTypeNode && type < IXStyleType_Last; ++step) {
        const IXStyleNode* master = masters.isEmpty() ? nullptr : masters[type].get();
        if (master) {
            value = master->ownAttribute(name);
            if (value) return value;
        }
        if (masterSheet && !masterSheet->masters().isEmpty()) {
            value = masterSheet->masters()[type]->ownAttribute(name);
            if (value) return value;
        }
        type = master ? master->master() : MasterOfType[type];
    }
    return IXStyleValue();
}

void IXStyleSheetNode::makeMastersIfNeeded()
{
    if (m_styles.masters().isEmpty()) resetMasters();
}

void IXStyleSheetNode::resetMasters()
{
    if (m_styles.masters().size() != IXStyleType_Last) {
        StyleList fresh;
        for (int type = 0; type < IXStyleType_Last; ++type) fresh.append(std::make_shared<IXStyleNode>());
        m_styles.setMasters(fresh);
    }
    for (int type = 0; type < IXStyleType_Last; ++type) {
        m_styles.masters()[type]->setType(type);
        m_styles.masters()[type]->setMaster(MasterOfType[type]);
    }
}

void IXStyleSheetNode::resetStyle(IXStyleNode& style, const IXNode* node)
{
    const int type = styleTypeForNode(node);
    if (type != IXStyleTypeNode) style.setMaster(type);
}

void IXStyleSheetNode::resetStyleForNode(const IXNode* node)
{
    if (!node || node->existingUniqueId().isEmpty()) return;
    if (const std::shared_ptr<IXStyleNode> style = existingStyleForRef(node->existingUniqueId())) resetStyle(*style, node);
}

void IXStyleSheetNode::setMasters(const StyleList& masters)
{
    const StyleList old = m_styles.masters();
    registerUndo(this, PLLocalizedStrings::string(QStringLiteral("Apply Style")),
                 [old](IXStyleSheetNode& sheet) { sheet.setMasters(old); });
    m_styles.setMasters(masters);
    resetMasters();
    styleDidChange();
    postUpdateAllCustomStyles();
}

void IXStyleSheetNode::applyMasterStyle(IXStyleSheetNode& other)
{
    if (other.masters().size() != IXStyleType_Last) return;
    StyleList copies;
    for (const auto& master : other.masters()) {
        copies.append(std::static_pointer_cast<IXStyleNode>(master->copy()));
    }
    setMasters(copies);
}

void IXStyleSheetNode::clearStyleForNode(IXNode* node)
{
    if (node && !node->existingUniqueId().isEmpty()) {
        if (const std::shared_ptr<IXStyleNode> style = existingStyleForRef(node->existingUniqueId())) style->clearAttributes();
    }
    postUpdateAllCustomStyles();
}

void IXStyleSheetNode::postUpdateAllCustomStyles()
{
    if (PLRunLoop::isPending(this, UpdateKey)) return;
    const std::weak_ptr<IXNode> weak = weak_from_this();
    PLRunLoop::perform(
        this, UpdateKey,
        [weak] {
            if (const std::shared_ptr<IXNode> self = weak.lock()) static_cast<IXStyleSheetNode*>(self.get())->updateAllCustomStyles();
        },
        std::chrono::milliseconds(0), PLRunLoop::commonModes());
}

void IXStyleSheetNode::updateAllCustomStyles()
{
    const StyleList styles = m_styles.nodeStyles().values();
    for (const auto& style : styles) {
        if (!style->refId().isEmpty()) style->notifyPropertyChange(IXProperties::Master);
    }
    // The nodes read through shared styles hear it once, for all of them.
    const auto sharedStyles = m_styles.sharedStyles();
    const auto shared = std::find_if(sharedStyles.begin(), sharedStyles.end(), [](const auto& style) { return bool(style); });
    if (shared != sharedStyles.end()) (*shared)->notifyPropertyChange(IXProperties::Master);
}

void IXStyleSheetNode::styleDidChange()
{
    if (!m_loading) m_keepsUnreadPart = false;
}

// --- XML ---

PLXMLElement IXStyleSheetNode::XMLElement(PLXMLElement parent)
{
    PLXMLElement element = parent.addChildElement("styles");
    writeContent(element);
    return element;
}

PLXMLDocument IXStyleSheetNode::XMLDocument()
{
    return XMLDocumentWithSchema("styles", QStringLiteral("styles.xsd"), [this](PLXMLElement root) { writeContent(root); });
}

void IXStyleSheetNode::writeContent(PLXMLElement element)
{
    writeBaseXMLAttributes(element);
    element.setAttribute("version", QStringLiteral("1"));
    element.setAttribute("revision", QStringLiteral("1"));
    if (!m_styles.masters().isEmpty()) {
        for (int type = IXStyleTypeCanvas; type < IXStyleType_Last; ++type) m_styles.masters()[type]->XMLElement(element);
    }
    QStringList refs = m_styles.nodeStyles().keys();
    std::sort(refs.begin(), refs.end());
    // The style of a node that left the document stays for its undo, but a file holds what
    // the map shows (and a reader drops a style of no node).
    IXDocumentNode* document = documentNode();
    for (const QString& ref : std::as_const(refs)) {
        if (!document || document->nodeForId(ref)) m_styles.nodeStyle(ref)->XMLElement(element);
    }
}

bool IXStyleSheetNode::saveToPart(IXDocumentNode* document, const QString& name, PLError* error)
{
    PL_ASSERT_PARAM(document, "document");
    if (error && *error) return false;
    if (m_keepsUnreadPart) return true;
    const PLXMLDocument xml = XMLDocument();
    // A package without the part reads as the shipped defaults, so a sheet that holds only
    // them is stored as no part. What a save writes then depends on the map alone, not on which
    // sheets were looked at since opening, nor on changes undone since.
    if (xml.xmlData(PLXMLDocument::Format::Compact) == defaultSheetText(name)) {
        IXPackageParts& parts = document->packageParts();
        const QString part = name + XmlExtension;
        return parts.dataNamed(part).value_or(QByteArray()).isEmpty() || parts.removeDataNamed(part);
    }
    return document->setXml(xml, name, error);
}

bool IXStyleSheetNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXNode::initWithParent(parent, element, error)) return false;
    if (!element.hasName("styles")) {
        PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("invalid style sheet")));
        return false;
    }
    m_loading = true;
    makeMastersIfNeeded();
    for (PLXMLElement child = element.firstChildElement(); child; child = child.nextSiblingElement()) {
        if (!readStyleElement(child, error)) {
            m_loading = false;
            return false;
        }
    }
    resetMasters();
    m_loading = false;
    return true;
}

bool IXStyleSheetNode::readStyleElement(const PLXMLElement& child, PLError* error)
{
    PLError local;
    PLError* slot = error ? error : &local;
    auto style = std::make_shared<IXStyleNode>();
    if (!style->initWithParent(this, child, slot) || *slot) {
        if (!*slot) *slot = UTErrors::errorWithFailureReason(QStringLiteral("unknown error on creating IXStyleNode from NSXMLElement"));
        style->setParentNode(nullptr);
        return false;
    }
    const QString name = child.name();
    if (name == QLatin1String("style")) {
        const QString ref = child.attribute("ref");
        IXDocumentNode* document = documentNode();
        const std::shared_ptr<IXNode> node = document && !ref.isEmpty() ? document->nodeForId(ref) : nullptr;
        if (!node || !canCarryStyle(node.get())) {
            style->setParentNode(nullptr);
            return true;
        }
        style->setRefId(ref);
        resetStyle(*style, node.get());
        if (const std::shared_ptr<IXStyleNode> old = m_styles.adoptNodeStyle(style)) {
            PLLog::write(QStringLiteral("duplicate style replaced for node %1\n old: %2\n new: %3")
                             .arg(ref, old->description(), style->description()));
        }
        return true;
    }
    const int type = typeOfName(name);
    if (type == IXStyleTypeNode) {
        PLLog::write(QStringLiteral("ignored style named '%1': %2").arg(name, style->description()));
        style->setParentNode(nullptr);
        return true;
    }
    style->setType(type);
    m_styles.replaceMaster(type, style);
    return true;
}

// --- Document membership and notifications ---

void IXStyleSheetNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXNode::attachToDocumentNode(document);
    if (!document) return;
    const auto& shared = m_styles.sharedStyles();
    for (const StyleList& list : {m_styles.masters(), m_styles.nodeStyles().values(), StyleList(shared.begin(), shared.end())}) {
        for (const auto& style : list) {
            if (style && style->documentNode() != document) style->attachToDocumentNode(document);
        }
    }
    document->addToObservers(this);
    // The look-up now starts from this document's node and sheet.
    m_styles.setMasterSheet(parentNode() != document ? document->styleSheet().get() : m_styles.masterSheet());
}

void IXStyleSheetNode::detachFromDocumentNode()
{
    PLRunLoop::cancel(this, UpdateKey);
    if (IXDocumentNode* document = documentNode()) document->removeFromObservers(this);
    m_styles.setMasterSheet(nullptr);
    m_styles.releaseAll();
    IXNode::detachFromDocumentNode();
}

bool IXStyleSheetNode::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXBranchNodeDidChangeProperty, IXStyleNodeDidChangeProperty});
}

void IXStyleSheetNode::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (property == IXProperties::Level) resetStyleForNode(branch);
}

void IXStyleSheetNode::notifiedOfStyleNode(IXStyleNode* style, const QString& property)
{
    if (!style) return;
    const IXStyleSheetNode* owner = style->styleSheet();
    if (m_styles.masterSheet() && owner == m_styles.masterSheet() && !style->refId().isEmpty()) {
        if (const std::shared_ptr<IXStyleNode> mine = existingStyleForRef(style->refId())) mine->notifyPropertyChange(property);
        return;
    }
    if (owner == this && style->refId().isEmpty()
        && std::any_of(m_styles.masters().begin(), m_styles.masters().end(), [style](const auto& master) { return master.get() == style; })) {
        postUpdateAllCustomStyles();
    }
}
