#include "DocumentViews/IXOutlineHoverTags.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentViews/IXImageTextAttachmentCell.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Drawing/PLColor.h"
#include "UtilityWidgets/UTInfoTag.h"
#include "UtilityWidgets/UTInfoTagWindow.h"

#include <QMouseEvent>
#include <QScrollBar>

namespace {

// The largest picture the tag shows, and the tag's room around it.
constexpr float PictureBox = 100;
constexpr float TagPadding = 8;

}  // namespace

IXOutlineHoverTags::IXOutlineHoverTags(IXOutlineMapView* outline)
    : QObject(outline)
    , m_outline(outline)
    , m_viewport(outline->viewport())
    , m_pictureCell(new IXImageTextAttachmentCell(QImage(), this))
{
    outline->viewport()->setMouseTracking(true);
    outline->viewport()->installEventFilter(this);
    for (QScrollBar* bar : {outline->verticalScrollBar(), outline->horizontalScrollBar()})
        PLExceptionBoundary::connect(bar, &QScrollBar::valueChanged, this, [this] { purge(); });
    QAbstractItemModel* model = outline->model();
    PLExceptionBoundary::connect(model, &QAbstractItemModel::modelReset, this, [this] { purge(); });
    PLExceptionBoundary::connect(model, &QAbstractItemModel::layoutChanged, this, [this] { purge(); });
    PLExceptionBoundary::connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { purge(); });
    PLExceptionBoundary::connect(model, &QAbstractItemModel::rowsMoved, this, [this] { purge(); });
}

QModelIndex IXOutlineHoverTags::indicatorAt(QPoint point) const
{
    const QModelIndex index = m_outline->indexAt(point);
    IXBranchNode* branch = m_outline->branchForIndex(index);
    if (!branch) return {};
    switch (index.column()) {
    case IXOutlineModel::Picture:
        return branch->picture() ? index : QModelIndex();
    case IXOutlineModel::Comment:
        return branch->comment() ? index : QModelIndex();
    case IXOutlineModel::Attachment:
        return branch->allReferences().isEmpty() ? QModelIndex() : index;
    default:
        return {};
    }
}

void IXOutlineHoverTags::pointerMoved(QPoint point)
{
    const QModelIndex index = indicatorAt(point);
    if (index == m_hovered) return;
    if (m_hovered.isValid()) mouseExited();
    m_hovered = index;
    if (index.isValid()) mouseEntered(index);
}

void IXOutlineHoverTags::mouseEntered(const QModelIndex& index)
{
    IXBranchNode* branch = m_outline->branchForIndex(index);
    if (!branch) return;
    UTInfoTag* tag = UTInfoTag::sharedInstance();
    tag->hide();
    m_showsTag = false;
    IXToolManager* tools = IXToolManager::sharedManager();
    switch (index.column()) {
    case IXOutlineModel::Picture: {
        const std::shared_ptr<IXPictureNode> picture = branch->picture();
        if (!picture) return;
        const PLSize size = picture->adjustSize(PLSize(PictureBox, PictureBox));
        m_pictureCell->setImage(picture->image());
        m_pictureCell->setSize(QSizeF(size.width, size.height));
        tag->setBackgroundColor(PLColor::system(PLColor::System::ControlLightHighlight));
        const QString title = picture->title();
        tag->setTitleWith([this, &title](QTextCursor& cursor) {
            cursor.insertText(title + QLatin1Char('\n'));
            m_pictureCell->insertAt(cursor);
            cursor.insertText(QStringLiteral("\n"));
        });
        tag->sizeToMaxWidth(size.width + TagPadding);
        tag->showTaggedToRightSideOfRect(QRectF(m_outline->visualRect(index)), m_outline->viewport());
        m_showsTag = true;
        return;
    }
    case IXOutlineModel::Comment:
        if (branch->comment())
            tools->activateToolNamed(IXToolNames::YellowNote, branch->comment(), m_outline->layoutContext(),
                                     IXToolEvent());
        return;
    case IXOutlineModel::Attachment:
        tools->activateToolNamed(IXToolNames::Attachments, branch->shared_from_this(), m_outline->layoutContext(),
                                 IXToolEvent());
        return;
    default:
        return;
    }
}

void IXOutlineHoverTags::mouseExited()
{
    if (m_showsTag) UTInfoTag::sharedInstance()->hideWithFadeOutEffect();
    m_showsTag = false;
}

void IXOutlineHoverTags::purge()
{
    m_hovered = QPersistentModelIndex();
    if (m_showsTag) UTInfoTag::sharedInstance()->hide();
    m_showsTag = false;
}

bool IXOutlineHoverTags::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_viewport) {
        if (event->type() == QEvent::MouseMove) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->buttons() == Qt::NoButton) pointerMoved(mouse->position().toPoint());
        } else if (event->type() == QEvent::Leave) {
            if (m_hovered.isValid()) mouseExited();
            m_hovered = QPersistentModelIndex();
        }
    }
    return QObject::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
