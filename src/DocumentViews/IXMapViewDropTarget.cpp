#include "DocumentViews/IXMapViewDropTarget.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXMCStoredItem.h"
#include "DocumentModel/IXMCStoring.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceTypeManager.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXPasteboard.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutCoordinates.h"
#include "MapLayout/IXLayoutMouseRouting.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLUndoTransaction.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

bool isImageFile(const QString& path)
{
    return IXReferenceTypeManager::referenceTypeForFileType(QFileInfo(path).suffix())
        == IXReferenceNode::SubtypePicture;
}

// The last path component of the dragged text, percent escapes removed: the name of a
// picture dragged out of another program.
QString draggedName(const QMimeData* data)
{
    if (!data->hasText()) return {};
    const QString text = data->text().trimmed();
    const QString last = text.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    return QUrl::fromPercentEncoding(last.toUtf8());
}

}  // namespace

bool IXMapViewDropTarget::isLinkMode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::AltModifier) && (modifiers & Qt::ControlModifier);
}

PLSize IXMapViewDropTarget::pictureSizeForPicture(IXPictureNode& picture)
{
    const PLSize natural = picture.imageSize();
    if (natural.width > 100 || natural.height > 100) return picture.adjustSize(PLSize(100, 100));
    if (natural.width < 16 || natural.height < 16) return picture.adjustSize(PLSize(16, 16));
    return natural;
}

QString IXMapViewDropTarget::targetRefForMediaItem(const IXMCStoredItem& item, const QString& itemId)
{
    if (item.isExternalItem())
        return IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationFile, item.filePath());
    return IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationCatalog, itemId);
}

std::shared_ptr<IXBranchNode> IXMapViewDropTarget::branchAt(PLPoint point) const
{
    if (!m_context) return nullptr;
    IXNode* node = m_context->mouse().branchNodeAtPoint(point);
    return node ? std::dynamic_pointer_cast<IXBranchNode>(node->shared_from_this()) : nullptr;
}

// --- Hovering ---

Qt::DropAction IXMapViewDropTarget::draggingUpdated(const QMimeData* data, PLPoint point,
                                                    Qt::KeyboardModifiers modifiers)
{
    if (!m_context || !data) return Qt::IgnoreAction;
    const std::shared_ptr<IXBranchNode> branch = branchAt(point);
    bool link = isLinkMode(modifiers);
    const Qt::DropAction linked = branch ? Qt::LinkAction : Qt::IgnoreAction;
    Qt::DropAction operation = Qt::IgnoreAction;
    if (data->hasFormat(IXPasteboard::CatalogItemType)) {
        IXMCStoring* store = IXMCStoring::sharedInstance();
        const QString itemId = QString::fromUtf8(data->data(IXPasteboard::CatalogItemType));
        const std::shared_ptr<IXMCStoredItem> item = store ? store->itemForId(itemId) : nullptr;
        if (item) operation = item->isImage() && !(item->isExternalItem() && link) ? Qt::CopyAction : linked;
    } else if (const QStringList paths = IXPasteboard::fileNames(data); !paths.isEmpty()) {
        if (branch && paths.size() > 1) link = true;
        const bool allImages = std::all_of(paths.begin(), paths.end(), isImageFile);
        operation = allImages && !link ? Qt::CopyAction : linked;
    } else if (IXPasteboard::offersNonTIFFPicture(data) || IXPasteboard::offers(data, IXPasteboard::StringType)
               || IXPasteboard::offers(data, IXPasteboard::RTFType)) {
        operation = link ? linked : Qt::CopyAction;
    }
    m_context->setHighlights(operation != Qt::IgnoreAction && branch ? IXSelection::selectionWithNode(branch)
                                                                     : IXSelection());
    return operation;
}

void IXMapViewDropTarget::draggingExited()
{
    if (m_context) m_context->setHighlights(IXSelection());
}

// --- Dropping ---

bool IXMapViewDropTarget::performDrop(const QMimeData* data, PLPoint point, Qt::KeyboardModifiers modifiers)
{
    if (!m_context || !data) return false;
    m_context->setHighlights(IXSelection());
    IXDocumentNode* document = m_context->documentNode();
    if (!document) return false;
    const bool link = isLinkMode(modifiers);
    const std::shared_ptr<IXBranchNode> branch = branchAt(point);
    const PLPoint canvasPoint = m_context->coordinates().convertPointToCell(point, nullptr);
    return PLUndoTransaction::run(document->undoManager(), [&] {
        if (data->hasFormat(IXPasteboard::CatalogItemType))
            return dropCatalogItem(QString::fromUtf8(data->data(IXPasteboard::CatalogItemType)), branch, canvasPoint,
                                   link);
        // Rich text counts only for a picture in it: text that other programs drag along with
        // files or pictures must not hide them.
        if (const std::optional<QByteArray> picture = IXPasteboard::richTextPicture(data)) {
            const PLRect visible = m_context->view() ? m_context->view()->visibleRect() : PLRect();
            const PLPoint centre
                = m_context->coordinates().convertPointToCell(PLPoint(visible.midX(), visible.midY()), nullptr);
            return dropPicture(*picture, QString(), branch, centre, false);
        }
        if (const QStringList paths = IXPasteboard::fileNames(data); !paths.isEmpty())
            return dropFiles(paths, branch, canvasPoint, link);
        if (IXPasteboard::offersNonTIFFPicture(data)) {
            const std::optional<QByteArray> picture = IXPasteboard::pictureData(data);
            if (!picture || link) return false;
            return dropPicture(*picture, draggedName(data), branch, canvasPoint, true);
        }
        return false;
    });
}

bool IXMapViewDropTarget::dropCatalogItem(const QString& itemId, const std::shared_ptr<IXBranchNode>& branch,
                                          PLPoint point, bool link)
{
    IXMCStoring* store = IXMCStoring::sharedInstance();
    const std::shared_ptr<IXMCStoredItem> item = store ? store->itemForId(itemId) : nullptr;
    if (!item) return false;
    IXDocumentNode* document = m_context->documentNode();
    if (!item->isImage() || link) {
        const QString path = item->filePath();
        const QString mediaType = item->isImage() ? QStringLiteral("IMAGE") : item->mediaFileType();
        const std::optional<int> type = IXMCStoring::referenceTypeForMediaType(mediaType);
        // Only a branch takes attachments.
        if (path.isEmpty() || !branch) return false;
        const std::shared_ptr<IXReferenceNode> attachment
            = branch->addAttachmentWithType(type.value_or(IXReferenceNode::SubtypeFile));
        attachment->setFilePath(path);
        attachment->setTitle(item->name());
    } else {
        auto picture = std::make_shared<IXPictureNode>();
        picture->setTargetRef(targetRefForMediaItem(*item, itemId));
        picture->setTitle(item->name());
        if (branch)
            branch->setPicture(picture);
        else
            document->addPicture(picture);
        finishPicture(picture, branch, point);
    }
    store->addToRecent(item);
    return true;
}

bool IXMapViewDropTarget::dropFiles(const QStringList& paths, const std::shared_ptr<IXBranchNode>& branch,
                                    PLPoint point, bool link)
{
    if (branch && paths.size() > 1) link = true;
    if (!std::all_of(paths.begin(), paths.end(), isImageFile)) link = true;
    if (link && !branch) return false;
    IXDocumentNode* document = m_context->documentNode();
    bool used = false;
    for (const QString& path : paths) {
        const QString title = QFileInfo(path).completeBaseName();
        if (link) {
            const std::shared_ptr<IXReferenceNode> attachment = branch->addAttachmentWithType(
                IXReferenceTypeManager::referenceTypeForFileType(QFileInfo(path).suffix()));
            attachment->setFilePath(path);
            attachment->setTitle(title);
        } else {
            auto picture = std::make_shared<IXPictureNode>();
            picture->setFilePath(path);
            picture->setTitle(title);
            if (branch)
                branch->setPicture(picture);
            else
                document->addPicture(picture);
            finishPicture(picture, branch, point);
        }
        used = true;
    }
    return used;
}

bool IXMapViewDropTarget::dropPicture(const QByteArray& bytes, const QString& name,
                                      const std::shared_ptr<IXBranchNode>& branch, PLPoint point, bool centred)
{
    IXDocumentNode* document = m_context->documentNode();
    if (!IXPasteboard::isPicture(bytes)) return false;
    // The picture holds its bytes until it joins the document, which then stores them.
    const QString partName = IXDocumentNode::newUniqueId();
    auto picture = std::make_shared<IXPictureNode>();
    picture->addPictureData(bytes, partName);
    picture->setTitle(branch && !name.isEmpty() ? name : partName);
    if (branch)
        branch->setPicture(picture);
    else
        document->addPicture(picture);
    if (!document->packageParts().dataNamed(partName)) return false;
    if (centred) {
        finishPicture(picture, branch, point);
    } else {
        finishPicture(picture, branch, std::nullopt);
        if (!branch) m_context->styleForNode(picture.get())->setFloatingTargetOffset(point);
    }
    return true;
}

void IXMapViewDropTarget::finishPicture(const std::shared_ptr<IXPictureNode>& picture,
                                        const std::shared_ptr<IXBranchNode>& branch, std::optional<PLPoint> point)
{
    const PLSize size = pictureSizeForPicture(*picture);
    if (const auto style = picture->style()) style->setPictureSize(size);
    if (branch) {
        select(branch);
        return;
    }
    if (point)
        m_context->styleForNode(picture.get())
            ->setFloatingTargetOffset(
                PLPoint(point->x - std::floor(size.width / 2), point->y - std::floor(size.height / 2)));
    select(picture);
}

void IXMapViewDropTarget::select(const std::shared_ptr<IXNode>& node)
{
    m_context->setSelection(IXSelection::selectionWithNode(node));
}
