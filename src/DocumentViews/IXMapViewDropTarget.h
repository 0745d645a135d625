#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLSize.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <Qt>

#include <memory>
#include <optional>

class IXBranchNode;
class IXLayoutContext;
class IXMCStoredItem;
class IXNode;
class IXPictureNode;
class QMimeData;

// What a drag onto a map view does: items of the multimedia catalog, files, pictures and
// rich text with pictures become floating pictures, a branch's picture or a branch's
// attachments, depending on what is dragged, where it is dropped (on a branch or on the
// empty canvas) and the keys held. While a drag hovers, the branch under the pointer is
// highlighted in the context.
//
// Link mode (Alt and Ctrl held) makes attachments rather than pictures; over a branch, more
// than one file turns it on, and so does a file that is no picture. Plain text and links
// alone are refused at the drop, and so is a drag that offers only TIFF data.
//
// A new picture takes its image's size, fitted into 100 x 100 when larger and into
// 16 x 16 when smaller; a floating picture is centred on the drop point (one from rich text
// on the centre of the visible area). A drop is one undo step; one that fails part way leaves
// nothing behind. Points are in the view's space (y-up). Main thread only.
class IXMapViewDropTarget {
public:
    explicit IXMapViewDropTarget(IXLayoutContext* context)
        : m_context(context)
    {
    }

    // The operation for the drag at the point (Copy, Link, or Ignore to refuse), highlighting
    // the branch under it when the drag is taken.
    Qt::DropAction draggingUpdated(const QMimeData* data, PLPoint point, Qt::KeyboardModifiers modifiers);
    // The drag left the view: no branch stays highlighted.
    void draggingExited();
    // Whether the drop did something.
    bool performDrop(const QMimeData* data, PLPoint point, Qt::KeyboardModifiers modifiers);

    static bool isLinkMode(Qt::KeyboardModifiers modifiers);
    // The picture size rule: the image's size, fitted to 100 x 100 when wider or higher than
    // 100, to 16 x 16 when narrower or lower than 16.
    static PLSize pictureSizeForPicture(IXPictureNode& picture);
    // A catalog item's target: its file for an external item, else the item by its id.
    static QString targetRefForMediaItem(const IXMCStoredItem& item, const QString& itemId);

private:
    std::shared_ptr<IXBranchNode> branchAt(PLPoint point) const;
    bool dropCatalogItem(const QString& itemId, const std::shared_ptr<IXBranchNode>& branch, PLPoint point, bool link);
    bool dropFiles(const QStringList& paths, const std::shared_ptr<IXBranchNode>& branch, PLPoint point, bool link);
    bool dropPicture(const QByteArray& bytes, const QString& name, const std::shared_ptr<IXBranchNode>& branch,
                     PLPoint point, bool centred);
    // Sets the picture's size (it must be in the document) and selects what it belongs to.
    void finishPicture(const std::shared_ptr<IXPictureNode>& picture, const std::shared_ptr<IXBranchNode>& branch,
                       std::optional<PLPoint> point);
    void select(const std::shared_ptr<IXNode>& node);

    IXLayoutContext* m_context;
};
