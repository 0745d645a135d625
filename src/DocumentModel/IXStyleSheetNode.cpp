#include "DocumentModel/IXStyleSheetNode.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/PLAssert.h"
#include "Platform/PLLocalizedStrings.h"
#include "Platform/PLLog.h"
#include "Platform/PLResources.h"
#include "Platform/PLRunLoop.h"
#include "Platform/PLUndoManager.h"
#include "Utilities/UTErrors.h"

#include <QFile>

#include <algorithm>
#include <array>

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

void warnOfUnreadPart(IXDocumentNode* document, const QString& partName)
{
    document->warning(IXWarningMessage(QStringLiteral("StyleSheetUnreadable")).arg(partName));
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
}

IXStyleSheetNode::IXStyleSheetNode() = default;

IXStyleSheetNode::~IXStyleSheetNode()
{
    PLRunLoop::cancel(this, UpdateKey);
    // Undo steps may keep styles alive beyond the sheet: they must not point back at it.
    dropAllStyles();
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
    const std::optional<QByteArray> data = document->dataNamed(partName, &partError);
    std::shared_ptr<IXStyleSheetNode> sheet;
    // An entry that cannot even be inflated is kept as it is, like one that does not parse.
    bool unread = !data && partError;
    if (data && !data->isEmpty()) {
        PLError error;
        const PLXMLDocument xml = IXDocumentNode::loadXML(*data, &error);
        if (xml.isNull()) {
            unread = true;
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
                warnOfUnreadPart(document, partName);
                return nullptr;
            }
            // A sheet read in spite of a schema violation: the user hears of it as a warning.
            if (error)
                document->warning(IXWarningMessage(QStringLiteral("StyleSheetSchemaViolation")).arg(partName, error.localizedDescription()));
        }
    }
    if (!sheet) {
        sheet = std::make_shared<IXStyleSheetNode>();
        sheet->setParentNode(parent);
    }
    const auto holdsAttributes = [&sheet](int type) { return !sheet->styleForMaster(type)->attributes().isEmpty(); };
    if (!holdsAttributes(IXStyleTypeCanvas) && !holdsAttributes(IXStyleTypeRootBranch)) {
        if (const std::shared_ptr<IXStyleSheetNode> defaults = defaultStyleSheet(xmlName)) {
            UndoSwitchedOff undoOff(document);
            sheet->applyMasterStyle(*defaults);
            // No one has read this sheet yet, so no style shows the masters just replaced:
            // the deferred "master" notices would only force a second full layout.
            PLRunLoop::cancel(sheet.get(), UpdateKey);
        }
    }
    if (unread) {
        sheet->setKeepsUnreadPart(true);
        warnOfUnreadPart(document, partName);
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
    const PLXMLDocument xml = IXDocumentNode::loadXML(data, &loadError);
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
    if (std::shared_ptr<IXStyleNode> style = m_styles.value(uid)) return style;
    auto style = std::make_shared<IXStyleNode>();
    style->setRefId(uid);
    resetStyle(*style, node);
    m_styles.insert(uid, style);
    IXStyleNode::noteChange();
    style->setParentNode(this);
    return style;
}

std::shared_ptr<const IXStyleNode> IXStyleSheetNode::styleForReading(IXNode* node)
{
    PL_ASSERT_PARAM(node, "node");
    PL_ASSERT_PARAM(!node->isLayout(), "![node isLayout]");
    // The style given last, while nothing that chooses it changed: styles join or leave
    // sheets, and sheets their masters or documents, only with a new change count; a new id
    // forgets it; the depth picks a branch's master.
    IXNode::ReadingStyle& memo = node->m_readingStyle;
    const int level = node->level();
    if (memo.style && memo.sheet == this && memo.changeCount == IXStyleNode::changeCount() && memo.level == level)
        return std::static_pointer_cast<const IXStyleNode>(memo.style->shared_from_this());
    std::shared_ptr<IXStyleNode> style = findStyleForReading(node);
    memo = {this, IXStyleNode::changeCount(), level, style.get()};
    return style;
}

std::shared_ptr<IXStyleNode> IXStyleSheetNode::findStyleForReading(IXNode* node)
{
    const QString& uid = node->uniqueId();
    if (!m_styles.isEmpty()) {
        if (std::shared_ptr<IXStyleNode> style = m_styles.value(uid)) return style;
    }
    // Only a style of its own can name the node to the master sheet's look-up.
    if (m_master && !m_master->m_styles.isEmpty() && m_master->m_styles.contains(uid)) return styleForNode(node);
    const int type = styleTypeForNode(node);
    std::shared_ptr<IXStyleNode>& shared = m_sharedStyles[type];
    if (!shared) {
        shared = std::make_shared<IXStyleNode>();
        resetStyle(*shared, node);
        shared->setParentNode(this);
    }
    return shared;
}

bool IXStyleSheetNode::isSharedStyle(const IXStyleNode* style) const
{
    return style && std::any_of(m_sharedStyles.begin(), m_sharedStyles.end(), [style](const auto& shared) { return shared.get() == style; });
}

std::shared_ptr<IXStyleNode> IXStyleSheetNode::existingStyleForRef(const QString& refId) const
{
    return m_styles.value(refId);
}

std::shared_ptr<IXStyleNode> IXStyleSheetNode::styleForMaster(int type)
{
    PL_ASSERT_PARAM(type >= 0 && type < IXStyleType_Last, "type >= 0 && type < IXStyleType_Last");
    makeMastersIfNeeded();
    return m_masters[type];
}

IXStyleSheetNode::StyleList IXStyleSheetNode::nodeStyles() const
{
    return m_styles.values();
}

IXStyleValue IXStyleSheetNode::attribute(const QString& name, const IXStyleNode* style) const
{
    PL_ASSERT_PARAM(style, "style");
    return shownValue(name, IXStyleNode::knownSlot(name), *style);
}

const IXStyleValue& IXStyleSheetNode::shownValue(const QString& name, int slot, const IXStyleNode& style) const
{
    if (const IXStyleValue& own = style.ownValue(name, slot)) return own;
    if (const IXStyleNode* inMaster = masterSheetStyle(style)) {
        if (const IXStyleValue& value = inMaster->ownValue(name, slot)) return value;
    }
    return slot >= 0 ? resolvedKnownAttribute(slot, style.master()) : resolvedAttribute(name, style.master());
}

const IXStyleNode* IXStyleSheetNode::masterSheetStyle(const IXStyleNode& style) const
{
    const QString& ref = style.refId();
    if (ref.isEmpty() || !m_master) return nullptr;
    // The style keeps what its own sheet found. Styles join and leave sheets, and sheets
    // their masters, only with a new change count.
    if (style.styleSheet() != this) return m_master->existingStyleForRef(ref).get();
    if (style.m_masterSheetStyleAt != IXStyleNode::changeCount()) {
        style.m_masterSheetStyle = m_master->existingStyleForRef(ref).get();
        style.m_masterSheetStyleAt = IXStyleNode::changeCount();
    }
    return style.m_masterSheetStyle;
}

void IXStyleSheetNode::dropStaleResolved() const
{
    if (m_resolvedAt == IXStyleNode::changeCount()) [[likely]]
        return;
    for (auto& values : m_resolved) values.clear();
    for (KnownResolved& known : m_resolvedKnown) known.found.reset();
    for (auto& groups : m_resolvedText) groups = {};
    m_resolvedAt = IXStyleNode::changeCount();
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
        // The table's own string, so that each style on the chain skips its search too.
        known.values[index] = chainAttribute(IXStyleNode::KnownAttributeNames[index], type);
        known.found.set(index);
    }
    return known.values[index];
}

IXStyleValue IXStyleSheetNode::chainAttribute(const QString& name, int type) const
{
    ++m_resolvedCount;
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
    for (int step = 0; step < IXStyleType_Last && type > IXStyleTypeNode && type < IXStyleType_Last; ++step) {
        const IXStyleNode* master = m_masters.isEmpty() ? nullptr : m_masters[type].get();
        if (master) {
            value = master->ownAttribute(name);
            if (value) return value;
        }
        if (m_master && !m_master->m_masters.isEmpty()) {
            value = m_master->m_masters[type]->ownAttribute(name);
            if (value) return value;
        }
        type = master ? master->master() : MasterOfType[type];
    }
    return IXStyleValue();
}

void IXStyleSheetNode::makeMastersIfNeeded()
{
    if (m_masters.isEmpty()) resetMasters();
}

void IXStyleSheetNode::resetMasters()
{
    if (m_masters.size() != IXStyleType_Last) {
        m_masters.clear();
        for (int type = 0; type < IXStyleType_Last; ++type) {
            auto master = std::make_shared<IXStyleNode>();
            m_masters.append(master);
            master->setParentNode(this);
        }
    }
    for (int type = 0; type < IXStyleType_Last; ++type) {
        m_masters[type]->setType(type);
        m_masters[type]->setMaster(MasterOfType[type]);
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
    const StyleList old = m_masters;
    registerUndo(this, PLLocalizedStrings::string(QStringLiteral("Apply Style")),
                 [old](IXStyleSheetNode& sheet) { sheet.setMasters(old); });
    for (const auto& master : old) {
        if (master->parentNode() == this) master->setParentNode(nullptr);
    }
    m_masters.clear();
    if (masters.size() == IXStyleType_Last && std::all_of(masters.begin(), masters.end(), [](const auto& m) { return bool(m); })) {
        m_masters = masters;
        for (const auto& master : std::as_const(m_masters)) master->setParentNode(this);
    }
    IXStyleNode::noteChange();
    resetMasters();
    styleDidChange();
    postUpdateAllCustomStyles();
}

void IXStyleSheetNode::applyMasterStyle(IXStyleSheetNode& other)
{
    if (other.m_masters.size() != IXStyleType_Last) return;
    StyleList copies;
    for (const auto& master : std::as_const(other.m_masters)) {
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
    const StyleList styles = m_styles.values();
    for (const auto& style : styles) {
        if (!style->refId().isEmpty()) style->notifyPropertyChange(QStringLiteral("master"));
    }
    // The nodes read through shared styles hear it once, for all of them.
    const auto shared = std::find_if(m_sharedStyles.begin(), m_sharedStyles.end(), [](const auto& style) { return bool(style); });
    if (shared != m_sharedStyles.end()) (*shared)->notifyPropertyChange(QStringLiteral("master"));
}

void IXStyleSheetNode::styleDidChange()
{
    if (!m_loading) m_keepsUnreadPart = false;
}

void IXStyleSheetNode::dropAllStyles()
{
    const StyleList masters = m_masters;
    const StyleList styles = m_styles.values();
    const StyleList shared(m_sharedStyles.begin(), m_sharedStyles.end());
    m_masters.clear();
    m_styles.clear();
    m_sharedStyles = {};
    IXStyleNode::noteChange();
    for (const StyleList& list : {masters, styles, shared}) {
        for (const auto& style : list) {
            if (style && style->parentNode() == this) style->setParentNode(nullptr);
        }
    }
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
    if (!m_masters.isEmpty()) {
        for (int type = IXStyleTypeCanvas; type < IXStyleType_Last; ++type) m_masters[type]->XMLElement(element);
    }
    QStringList refs = m_styles.keys();
    std::sort(refs.begin(), refs.end());
    for (const QString& ref : std::as_const(refs)) m_styles.value(ref)->XMLElement(element);
}

bool IXStyleSheetNode::saveToPart(IXDocumentNode* document, const QString& name, PLError* error)
{
    PL_ASSERT_PARAM(document, "document");
    if (error && *error) return false;
    if (m_keepsUnreadPart) return true;
    return document->setXml(XMLDocument(), name, error);
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
        if (const std::shared_ptr<IXStyleNode> old = m_styles.value(ref)) {
            PLLog::write(QStringLiteral("duplicate style replaced for node %1\n old: %2\n new: %3")
                             .arg(ref, old->description(), style->description()));
            old->setParentNode(nullptr);
        }
        m_styles.insert(ref, style);
        IXStyleNode::noteChange();
        return true;
    }
    const int type = typeOfName(name);
    if (type == IXStyleTypeNode) {
        PLLog::write(QStringLiteral("ignored style named '%1': %2").arg(name, style->description()));
        style->setParentNode(nullptr);
        return true;
    }
    style->setType(type);
    const std::shared_ptr<IXStyleNode> old = m_masters[type];
    m_masters[type] = style;
    IXStyleNode::noteChange();
    if (old && old->parentNode() == this) old->setParentNode(nullptr);
    return true;
}

// --- Document membership and notifications ---

void IXStyleSheetNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXNode::attachToDocumentNode(document);
    if (!document) return;
    for (const StyleList& list : {m_masters, m_styles.values(), StyleList(m_sharedStyles.begin(), m_sharedStyles.end())}) {
        for (const auto& style : list) {
            if (style && style->documentNode() != document) style->attachToDocumentNode(document);
        }
    }
    document->addToObservers(this);
    if (parentNode() != document) m_master = document->styleSheet().get();
    // The look-up now starts from this document's node and sheet.
    IXStyleNode::noteChange();
}

void IXStyleSheetNode::detachFromDocumentNode()
{
    PLRunLoop::cancel(this, UpdateKey);
    if (IXDocumentNode* document = documentNode()) document->removeFromObservers(this);
    m_master = nullptr;
    dropAllStyles();
    IXNode::detachFromDocumentNode();
    IXStyleNode::noteChange();
}

bool IXStyleSheetNode::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXBranchNodeDidChangeProperty, IXStyleNodeDidChangeProperty});
}

void IXStyleSheetNode::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (property == QLatin1String("level")) resetStyleForNode(branch);
}

void IXStyleSheetNode::notifiedOfStyleNode(IXStyleNode* style, const QString& property)
{
    if (!style) return;
    const IXStyleSheetNode* owner = style->styleSheet();
    if (m_master && owner == m_master && !style->refId().isEmpty()) {
        if (const std::shared_ptr<IXStyleNode> mine = existingStyleForRef(style->refId())) mine->notifyPropertyChange(property);
        return;
    }
    if (owner == this && style->refId().isEmpty()
        && std::any_of(m_masters.begin(), m_masters.end(), [style](const auto& master) { return master.get() == style; })) {
        postUpdateAllCustomStyles();
    }
}
