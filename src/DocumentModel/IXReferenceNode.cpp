#include "DocumentModel/IXReferenceNode.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXMCStoredItem.h"
#include "DocumentModel/IXMCStoring.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXReferenceNodeObserver.h"
#include "DocumentModel/IXWindowControlling.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Utilities/UTStrings.h"
#include "Utilities/UTXMLAttributes.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <utility>

namespace {

// Target files above this size are not read: no picture or note is that large, and a
// document must not make us allocate whatever a path names.
constexpr qint64 MaxTargetFileSize = qint64(256) * 1024 * 1024;

const QString SubtypeWords[] = {
    QString(),
    QStringLiteral("folder"),
    QStringLiteral("file"),
    QStringLiteral("web"),
    QStringLiteral("mail"),
    QStringLiteral("text"),
    QStringLiteral("picture"),
    QStringLiteral("video"),
    QStringLiteral("sound"),
    QStringLiteral("flash"),
};
constexpr int SubtypeWordCount = int(std::size(SubtypeWords));

const char* const AttachmentIconNames[] = {
    "object_nolink",      "object_link_folder",  "object_link_file",  "object_link_web",   "object_link_mail",
    "object_link_textfile", "object_link_picture", "object_link_video", "object_link_sound", "object_link_flash",
};

const char* const TypeIconNames[] = {
    "object_link_textfile",
    "object_text_note",
    "object_picture",
    "object_branch_connection",
};

struct Prefix {
    QLatin1StringView text;
    int location;
};

// Tested in this order; the first match decides.
const Prefix TargetPrefixes[] = {
    {QLatin1StringView("file:"), IXReferenceNode::LocationFile},
    {QLatin1StringView("local:"), IXReferenceNode::LocationLocal},
    {QLatin1StringView("mmc:"), IXReferenceNode::LocationCatalog},
    {QLatin1StringView("branch:"), IXReferenceNode::LocationBranch},
    {QLatin1StringView("http:"), IXReferenceNode::LocationWeb},
    {QLatin1StringView("https:"), IXReferenceNode::LocationWeb},
    {QLatin1StringView("ftp:"), IXReferenceNode::LocationWeb},
    {QLatin1StringView("mailto:"), IXReferenceNode::LocationMail},
};

// The prefix that targetRefWithLocation puts in front of a text, by location kind.
QLatin1StringView prefixForLocation(int location)
{
    switch (location) {
    case IXReferenceNode::LocationFile: return QLatin1StringView("file:");
    case IXReferenceNode::LocationMail: return QLatin1StringView("mailto:");
    case IXReferenceNode::LocationLocal: return QLatin1StringView("local:");
    case IXReferenceNode::LocationCatalog: return QLatin1StringView("mmc:");
    case IXReferenceNode::LocationBranch: return QLatin1StringView("branch:");
    default: return QLatin1StringView();
    }
}

// The text after the first ":", or the whole text when it has none.
QString valueAfterPrefix(const QString& targetRef)
{
    const qsizetype colon = targetRef.indexOf(QLatin1Char(':'));
    return colon < 0 ? targetRef : targetRef.mid(colon + 1);
}

// The folder of a file path: "" for a bare name, "/" for a file in the root.
QString folderOfPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// The bytes of a regular file, within the size limit; nothing for folders, devices, pipes
// and files that cannot be read.
std::optional<QByteArray> readRegularFile(const QString& path)
{
    if (path.isEmpty()) return std::nullopt;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxTargetFileSize) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) return std::nullopt;
    QByteArray data = file.read(MaxTargetFileSize + 1);
    if (data.size() > MaxTargetFileSize) return std::nullopt;
    return data;
}

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromLatin1(key));
}

}  // namespace

IXReferenceNode::IXReferenceNode() = default;

IXReferenceNode::IXReferenceNode(const IXReferenceNode& other)
    : UTObserver()
    , IXNode(other)
    , m_type(other.m_type)
    , m_subtype(other.m_subtype)
    , m_title(other.m_title)
    , m_targetRef(other.m_targetRef)
    , m_location(other.m_location)
    , m_includeInExport(other.m_includeInExport)
    , m_htmlOpenInNewWindow(other.m_htmlOpenInNewWindow)
    , m_htmlShowAsButton(other.m_htmlShowAsButton)
    , m_carriedPart(other.m_carriedPart)
{
    if (!m_carriedPart && m_type != TypeComment && m_location == LocationLocal && other.documentNode()) {
        std::optional<QByteArray> data = other.targetData();
        if (data && !data->isEmpty()) m_carriedPart = std::move(data);
    }
    if (other.m_relatedLink) {
        m_relatedLink = std::static_pointer_cast<IXReferenceNode>(other.m_relatedLink->copy());
        m_relatedLink->setParentNode(this);
    }
}

IXReferenceNode::~IXReferenceNode()
{
    // The link may outlive this node (an undo record can hold it): it must not keep a
    // parent link to a node that is gone.
    if (m_relatedLink && m_relatedLink->parentNode() == this) m_relatedLink->setParentNode(nullptr);
}

std::shared_ptr<IXNode> IXReferenceNode::copy() const
{
    return std::shared_ptr<IXNode>(new IXReferenceNode(*this));
}

void IXReferenceNode::initType(int type, int subtype)
{
    m_type = type;
    m_subtype = subtype;
}

void IXReferenceNode::initTargetRef(const QString& targetRef)
{
    m_targetRef = targetRef;
    m_location = locationForTargetRef(targetRef);
}

// --- Properties ---

void IXReferenceNode::setType(int type)
{
    if (type == m_type) return;
    registerUndo(this, QStringLiteral("_reference_type"), [old = m_type](IXReferenceNode& node) { node.setType(old); });
    m_type = type;
    notifyPropertyChange(IXProperties::Type);
}

void IXReferenceNode::setSubtype(int subtype)
{
    if (subtype == m_subtype) return;
    registerUndo(this, QStringLiteral("_reference_subtype"),
                 [old = m_subtype](IXReferenceNode& node) { node.setSubtype(old); });
    m_subtype = subtype;
    notifyPropertyChange(IXProperties::Subtype);
}

QString IXReferenceNode::title()
{
    if (m_title.isEmpty()) m_title = defaultTitle();
    return m_title;
}

QString IXReferenceNode::defaultTitle()
{
    return QStringLiteral("(untitled)");
}

void IXReferenceNode::setTitle(const QString& title)
{
    if (title == m_title) return;
    registerUndo(this, localized("Title"), [old = m_title](IXReferenceNode& node) { node.setTitle(old); });
    m_title = title;
    notifyPropertyChange(IXProperties::Title);
}

void IXReferenceNode::setTargetRef(const QString& targetRef)
{
    if (targetRef == m_targetRef) return;
    registerUndo(this, localized("Target Path"),
                 [old = m_targetRef](IXReferenceNode& node) { node.setTargetRef(old); });
    removeReferenceFromDocument();
    initTargetRef(targetRef);
    m_carriedPart.reset();  // the bytes of the old target
    addReferenceToDocument();
    notifyPropertyChange(IXProperties::TargetRef);
}

void IXReferenceNode::setFilePath(const QString& path)
{
    setTargetRef(targetRefWithLocation(LocationFile, path));
}

void IXReferenceNode::setRelatedLink(const std::shared_ptr<IXReferenceNode>& link)
{
    if (link == m_relatedLink) return;
    const std::shared_ptr<IXReferenceNode> old = m_relatedLink;
    registerUndo(this, QStringLiteral("_referenceLink"), [old](IXReferenceNode& node) { node.setRelatedLink(old); });
    if (old && old->parentNode() == this) old->setParentNode(nullptr);
    m_relatedLink = link;
    if (link) link->setParentNode(this);
    notifyPropertyChange(IXProperties::Link);
}

std::shared_ptr<IXReferenceNode> IXReferenceNode::addRelatedLink()
{
    if (!m_relatedLink) setRelatedLink(std::make_shared<IXReferenceNode>());
    return m_relatedLink;
}

void IXReferenceNode::setIncludeInExport(bool include)
{
    if (include == m_includeInExport) return;
    registerUndo(this, localized("Include In Export"),
                 [old = m_includeInExport](IXReferenceNode& node) { node.setIncludeInExport(old); });
    m_includeInExport = include;
    notifyPropertyChange(IXProperties::IncludeInExport);
}

void IXReferenceNode::setHtmlOpenInNewWindow(bool openInNewWindow)
{
    if (openInNewWindow == m_htmlOpenInNewWindow) return;
    registerUndo(this, localized("Open In New Window"),
                 [old = m_htmlOpenInNewWindow](IXReferenceNode& node) { node.setHtmlOpenInNewWindow(old); });
    m_htmlOpenInNewWindow = openInNewWindow;
    notifyPropertyChange(IXProperties::HtmlOpenInNewWindow);
}

void IXReferenceNode::setHtmlShowAsButton(bool showAsButton)
{
    if (showAsButton == m_htmlShowAsButton) return;
    registerUndo(this, localized("Open In New Window"),
                 [old = m_htmlShowAsButton](IXReferenceNode& node) { node.setHtmlShowAsButton(old); });
    m_htmlShowAsButton = showAsButton;
    notifyPropertyChange(IXProperties::HtmlShowAsButton);
}

void IXReferenceNode::notifyPropertyChange(const QString& property)
{
    send(IXReferenceNodeDidChangeProperty, this, property);
}

// --- Targets ---

QString IXReferenceNode::targetRefWithLocation(int location, const QString& reference)
{
    if (location == LocationWeb) {
        // A valid URL's text is the text it was made from.
        return !reference.isEmpty() && QUrl(reference, QUrl::StrictMode).isValid() ? reference : QString();
    }
    const QLatin1StringView prefix = prefixForLocation(location);
    if (prefix.isEmpty() || reference.startsWith(prefix)) return reference;
    return prefix + reference;
}

int IXReferenceNode::locationForTargetRef(const QString& targetRef)
{
    for (const Prefix& prefix : TargetPrefixes) {
        if (targetRef.startsWith(prefix.text)) return prefix.location;
    }
    return LocationNone;
}

IXTargetValue IXReferenceNode::targetValueWithDocumentNode(IXDocumentNode* document) const
{
    if (m_targetRef.isEmpty()) return IXTargetValue();
    switch (m_location) {
    case LocationCatalog: {
        IXMCStoring* storage = IXMCStoring::sharedInstance();
        return IXTargetValue::fromCatalogItem(storage ? storage->itemForId(valueAfterPrefix(m_targetRef)) : nullptr);
    }
    case LocationBranch:
        return IXTargetValue::fromNode(document ? document->branchForId(valueAfterPrefix(m_targetRef)) : nullptr);
    case LocationWeb:
        return IXTargetValue::fromURL(QUrl(m_targetRef, QUrl::StrictMode));
    default:
        return IXTargetValue::fromText(valueAfterPrefix(m_targetRef));
    }
}

IXTargetValue IXReferenceNode::targetValue() const
{
    return targetValueWithDocumentNode(documentNode());
}

QString IXReferenceNode::locateFileWithPath(const QString& path) const
{
    if (path.isEmpty()) return path;
    const bool absolute = path.startsWith(QLatin1Char('/'));
    // A relative path means nothing on its own (it would depend on the current folder): it
    // is only looked for beside the document.
    if (absolute && QFileInfo::exists(path)) return path;
    const QString folder = documentNode() ? folderOfPath(documentNode()->workingPath()) : QString();
    if (folder.isEmpty()) return path;
    if (!absolute) {
        const QString beside = UTStrings::stringByStandardizingPathForBasePath(path, folder);
        if (QFileInfo::exists(beside)) return beside;
    }
    const QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype first = 0; first < components.size(); ++first) {
        const QString tail = components.mid(first).join(QLatin1Char('/'));
        const QString candidate = UTStrings::stringByStandardizingPathForBasePath(tail, folder);
        if (QFileInfo::exists(candidate)) return candidate;
    }
    return path;
}

std::optional<QByteArray> IXReferenceNode::targetData() const
{
    switch (m_location) {
    case LocationLocal: {
        const QString name = targetValue().text();
        if (name.isEmpty()) return std::nullopt;
        if (!documentNode()) return m_carriedPart;
        return documentNode()->packageParts().dataNamed(name);
    }
    case LocationCatalog: {
        const IXTargetValue value = targetValue();
        if (!value.catalogItem()) return std::nullopt;
        return readRegularFile(value.catalogItem()->filePath());
    }
    case LocationFile:
        return readRegularFile(locateFileWithPath(targetValue().text()));
    default:
        return std::nullopt;
    }
}

IXReferenceOpening IXReferenceNode::referenceToOpen() const
{
    IXReferenceOpening opening;
    opening.reference = std::const_pointer_cast<IXReferenceNode>(std::static_pointer_cast<const IXReferenceNode>(shared_from_this()));
    if (m_type == TypeComment) {
        opening.kind = IXReferenceOpening::Kind::TextNote;
        return opening;
    }
    // A picture attachment opens as a file, wherever its bytes live.
    const bool picture = m_type == TypeLink && m_subtype == SubtypePicture;
    if (picture || m_location == LocationFile) {
        opening.kind = IXReferenceOpening::Kind::File;
        opening.path = locateFileWithPath(targetValue().text());
        return opening;
    }
    switch (m_location) {
    case LocationWeb:
    case LocationMail:
        opening.kind = IXReferenceOpening::Kind::WebAddress;
        opening.url = QUrl(m_targetRef);
        break;
    case LocationBranch:
        opening.kind = IXReferenceOpening::Kind::Branch;
        opening.branch = targetValue().node();
        break;
    default:
        // Package parts and catalog items are not opened on their own.
        break;
    }
    return opening;
}

// --- Additional folders ---

void IXReferenceNode::addReferenceToDocument()
{
    IXDocumentNode* document = documentNode();
    if (!document || m_location != LocationFile) return;
    document->additionalFolders().removeReference(uniqueId());
    document->additionalFolders().addFilePath(locateFileWithPath(targetValue().text()), uniqueId());
}

void IXReferenceNode::removeReferenceFromDocument()
{
    IXDocumentNode* document = documentNode();
    if (!document || m_location != LocationFile) return;
    document->additionalFolders().removeReference(uniqueId());
}

void IXReferenceNode::validateContent()
{
    if (IXDocumentNode* document = documentNode()) {
        document->additionalFolders().removeReference(uniqueId());
        addReferenceToDocument();
    }
    if (m_relatedLink) m_relatedLink->validateContent();
}

void IXReferenceNode::carryPart(const QByteArray& data)
{
    if (documentNode() || m_location != LocationLocal || data.isEmpty()) return;
    m_carriedPart = data;
}

void IXReferenceNode::storeCarriedPart()
{
    IXDocumentNode* document = documentNode();
    if (!m_carriedPart || !document) return;
    const QByteArray data = *std::exchange(m_carriedPart, std::nullopt);
    const QString name = m_location == LocationLocal ? targetValue().text() : QString();
    if (name.isEmpty()) return;
    const QByteArray present = document->packageParts().dataNamed(name).value_or(QByteArray());
    if (present == data) return;
    if (present.isEmpty()) {
        document->packageParts().setData(data, name);
        return;
    }
    // Another document's part of the same name (importers choose names): the bytes go under
    // a fresh name, keeping the extension, which tells the picture's format.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > name.lastIndexOf(QLatin1Char('/')) + 1;
    const QString fresh = IXDocumentNode::newUniqueId() + (hasExtension ? name.mid(dot) : QString());
    document->packageParts().setData(data, fresh);
    initTargetRef(targetRefWithLocation(LocationLocal, fresh));
}

void IXReferenceNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXNode::attachToDocumentNode(document);
    if (!document) return;
    storeCarriedPart();
    addReferenceToDocument();
    if (m_relatedLink) m_relatedLink->attachToDocumentNode(document);
    document->addToObservers(this);
}

void IXReferenceNode::detachFromDocumentNode()
{
    IXDocumentNode* document = documentNode();
    if (!document) return;
    document->removeFromObservers(this);
    removeReferenceFromDocument();
    if (m_relatedLink) m_relatedLink->detachFromDocumentNode();
    IXNode::detachFromDocumentNode();
}

// --- Icons ---

QString IXReferenceNode::subtypeWord(int subtype)
{
    return subtype > 0 && subtype < SubtypeWordCount ? SubtypeWords[subtype] : QString();
}

int IXReferenceNode::subtypeForWord(const QString& word)
{
    for (int subtype = 0; subtype < SubtypeWordCount; ++subtype) {
        if (SubtypeWords[subtype] == word) return subtype;
    }
    return -1;
}

QString IXReferenceNode::iconNameForAttachmentType(int subtype)
{
    if (subtype < 0 || subtype >= int(std::size(AttachmentIconNames))) return QString();
    return QString::fromLatin1(AttachmentIconNames[subtype]);
}

QString IXReferenceNode::iconNameForType(int type)
{
    if (type < 0 || type >= int(std::size(TypeIconNames))) return QString();
    return QString::fromLatin1(TypeIconNames[type]);
}

QString IXReferenceNode::referenceIconName() const
{
    return m_type == TypeLink ? iconNameForAttachmentType(m_subtype) : iconNameForType(m_type);
}

QImage IXReferenceNode::iconForAttachmentType(int subtype)
{
    return PLNamedImages::imageNamed(iconNameForAttachmentType(subtype));
}

QImage IXReferenceNode::iconForType(int type)
{
    return PLNamedImages::imageNamed(iconNameForType(type));
}

QImage IXReferenceNode::referenceIcon() const
{
    return PLNamedImages::imageNamed(referenceIconName());
}

// --- XML ---

void IXReferenceNode::readReferenceAttributes(const PLXMLElement& element)
{
    const PLXMLElement titleElement = element.lastChildElement("title");
    m_title = titleElement ? titleElement.text() : element.attribute("title");
    initTargetRef(element.attribute("target"));
    m_includeInExport = UTXMLAttributes::boolValueForAttribute(element, "export", true);
    m_htmlOpenInNewWindow = UTXMLAttributes::boolValueForAttribute(element, "openLinkInNewWindow", false);
    m_htmlShowAsButton = UTXMLAttributes::boolValueForAttribute(element, "showAsButton", false);
    if (element.hasAttribute("type")) {
        const int subtype = subtypeForWord(element.attribute("type"));
        if (subtype >= 0) m_subtype = subtype;
    }
}

bool IXReferenceNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXNode::initWithParent(parent, element, error)) return false;
    readReferenceAttributes(element);
    // A link may carry a link of its own; the chain is read without recursion and only to
    // a sane depth, since a file may nest links without end.
    IXReferenceNode* owner = this;
    PLXMLElement ownerElement = element;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        const PLXMLElement linkElement = ownerElement.lastChildElement("link");
        if (!linkElement) break;
        auto link = std::make_shared<IXReferenceNode>();
        link->IXNode::initWithParent(owner, linkElement, error);
        link->readReferenceAttributes(linkElement);
        owner->m_relatedLink = link;
        owner = link.get();
        ownerElement = linkElement;
    }
    return true;
}

PLXMLElement IXReferenceNode::XMLElement(PLXMLElement parent)
{
    return referenceXMLElement(parent, "reference");
}

QString IXReferenceNode::writtenTargetRef()
{
    IXDocumentNode* document = documentNode();
    if (!document || m_location != LocationCatalog || !(document->saveOptions() & IXDocumentNode::SaveOptionCopyCatalogMedia))
        return m_targetRef;
    const IXTargetValue value = targetValue();
    if (!value.catalogItem()) return m_targetRef;
    document->additionalFolders().removeReference(uniqueId());
    const QString copied = document->additionalFolders().addFilePath(value.catalogItem()->filePath(), uniqueId());
    return copied.isEmpty() ? m_targetRef : targetRefWithLocation(LocationFile, copied);
}

PLXMLElement IXReferenceNode::referenceXMLElement(PLXMLElement parent, QByteArrayView name)
{
    PLXMLElement element = parent.addChildElement(name);
    writeBaseXMLAttributes(element);
    // The raw title, never the default one: an untitled reference reads back as exported.
    if (!m_title.isEmpty()) {
        UTXMLAttributes::setStringValue(element, m_title, "title");
        UTXMLAttributes::setBoolValue(element, m_includeInExport, "export");
    }
    if (m_type == TypeLink) {
        if (m_subtype == SubtypeWeb) UTXMLAttributes::setBoolValue(element, m_htmlOpenInNewWindow, "openLinkInNewWindow");
        if (m_subtype >= SubtypeFolder && m_subtype <= SubtypeMail)
            UTXMLAttributes::setBoolValue(element, m_htmlShowAsButton, "showAsButton");
        const QString word = subtypeWord(m_subtype);
        if (!word.isEmpty()) UTXMLAttributes::setStringValue(element, word, "type");
    }
    if (!m_targetRef.isEmpty()) UTXMLAttributes::setStringValue(element, writtenTargetRef(), "target");
    if (m_relatedLink) m_relatedLink->referenceXMLElement(element, "link");
    return element;
}
