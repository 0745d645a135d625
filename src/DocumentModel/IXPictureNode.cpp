#include "DocumentModel/IXPictureNode.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPictureNodeObserver.h"
#include "DocumentModel/IXPropertyNames.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLImage.h"
#include "Platform/Drawing/PLNamedImages.h"

#include <cmath>

namespace {

IXPictureNode::Clock& installedClock()
{
    static IXPictureNode::Clock clock;
    return clock;
}

std::chrono::steady_clock::time_point now()
{
    const IXPictureNode::Clock& clock = installedClock();
    return clock ? clock() : std::chrono::steady_clock::now();
}

}  // namespace

IXPictureNode::IXPictureNode()
{
    initType(TypePicture, SubtypeNone);
}

IXPictureNode::IXPictureNode(const IXPictureNode& other)
    : UTObserver()
    , IXFloatingReferenceNode(other)
{
}

IXPictureNode::~IXPictureNode() = default;

std::shared_ptr<IXNode> IXPictureNode::copy() const
{
    return std::shared_ptr<IXNode>(new IXPictureNode(*this));
}

void IXPictureNode::setClock(Clock clock)
{
    installedClock() = std::move(clock);
}

QImage IXPictureNode::image()
{
    if (!m_image.isNull()) return m_image;
    const auto attempt = now();
    if (m_failedAt && attempt - *m_failedAt < RetryInterval) return PLNamedImages::imageNamed(QStringLiteral("notfound"));
    const std::optional<QByteArray> data = targetData();
    const bool hasData = data && !data->isEmpty();
    if (hasData) {
        const QImage decoded = PLImage::decodedImage(*data);
        if (!decoded.isNull()) {
            m_image = decoded;
            m_failedAt.reset();
            return m_image;
        }
    }
    if (!hasData && targetRef().isEmpty()) return QImage();
    m_failedAt = attempt;
    return PLNamedImages::imageNamed(QStringLiteral("notfound"));
}

PLSize IXPictureNode::imageSize()
{
    const QImage picture = image();
    if (picture.isNull()) return PLSize();
    const QSizeF size = picture.deviceIndependentSize();
    return PLSize(float(size.width()), float(size.height()));
}

PLSize IXPictureNode::adjustSize(PLSize size)
{
    // Comparisons that a NaN fails leave the limit, so nothing outside them comes back.
    const double proposedWidth = std::max(double(MinSize.width), size.width <= MaxSize.width ? double(size.width) : double(MaxSize.width));
    const double proposedHeight = std::max(double(MinSize.height), size.height <= MaxSize.height ? double(size.height) : double(MaxSize.height));
    const PLSize natural = imageSize();
    if (natural.width <= 0 || natural.height <= 0) return PLSize(float(proposedWidth), float(proposedHeight));

    const double naturalWidth = natural.width;
    const double naturalHeight = natural.height;
    const double scale = (proposedWidth / naturalWidth + proposedHeight / naturalHeight) * 0.5;
    double width = std::ceil(naturalWidth * scale);
    double height = std::ceil(naturalHeight * scale);
    // A side below the minimum is raised to it and the other side follows the proportions.
    if (height < MinSize.height) {
        width = std::ceil(MinSize.height * naturalWidth / naturalHeight);
        height = MinSize.height;
    }
    if (width < MinSize.width) {
        height = std::ceil(MinSize.width * naturalHeight / naturalWidth);
        width = MinSize.width;
    }
    return PLSize(float(width), float(height));
}

void IXPictureNode::addPictureData(const QByteArray& data, const QString& name)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (IXDocumentNode* document = documentNode()) document->packageParts().setData(data, name);
    setTargetRef(targetRefWithLocation(LocationLocal, name));
    carryPart(data);  // outside a document, until it joins one
    // The target may be unchanged while its bytes are new.
    dropImage();
}

void IXPictureNode::dropImage()
{
    m_image = QImage();
    m_failedAt.reset();
}

void IXPictureNode::notifyPropertyChange(const QString& property)
{
    if (property == IXProperties::TargetRef) dropImage();
    IXReferenceNode::notifyPropertyChange(property);
    send(IXPictureNodeDidChangeProperty, this, property);
}

void IXPictureNode::attachToDocumentNode(IXDocumentNode* document)
{
    // The target's bytes may live in the new document: a failed attempt does not count.
    m_failedAt.reset();
    IXFloatingReferenceNode::attachToDocumentNode(document);
}

bool IXPictureNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXReferenceNode::initWithParent(parent, element, error)) return false;
    initType(TypePicture, subtype());
    return readConnection(element, error);
}

PLXMLElement IXPictureNode::XMLElement(PLXMLElement parent)
{
    PLXMLElement element = referenceXMLElement(parent, "picture");
    writeConnection(element);
    return element;
}
