#include "Inspectors/IXReferenceInfoCell.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceTypeManager.h"
#include "Inspectors/IXCellListView.h"
#include "Inspectors/IXReferenceCellTarget.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoTransaction.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QApplication>
#include <QFontMetricsF>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>

namespace {

using Part = IXReferenceInfoCell::Part;

constexpr double IconSize = 16;
constexpr double MarkSize = 8;
constexpr double CornerRadius = 4;

struct LinkKindItem {
    const char* title;
    const char* image;
    int subtype;
};

constexpr LinkKindItem LinkKinds[IXReferenceInfoCell::LinkKindCount] = {
    {"Link to File", "object_link_file", IXReferenceNode::SubtypeFile},
    {"Link to Folder", "object_link_folder", IXReferenceNode::SubtypeFolder},
    {"Web Link", "object_link_web", IXReferenceNode::SubtypeWeb},
    {"e-Mail Link", "object_link_mail", IXReferenceNode::SubtypeMail},
    {"No Link", "object_nolink", IXReferenceNode::SubtypeNone},
};

QString localized(const char* text)
{
    return PLLocalizedStrings::string(QString::fromUtf8(text));
}

// Sizes of the parts for the application's font, measured once per font.
struct Metrics {
    QFont font;
    QFont smallFont;
    double fieldHeight = 0;
    double triangle = 0;
    double checkHeight = 0;
    double checkIndicator = 0;
    double checkSpacing = 0;

    double checkWidth(const QString& text) const
    {
        return std::ceil(checkIndicator + checkSpacing + QFontMetricsF(smallFont).horizontalAdvance(text) + 2);
    }
};

const Metrics& metrics()
{
    static Metrics cached;
    static QString key;
    const QFont font = QApplication::font();
    if (key != font.key()) {
        key = font.key();
        cached.font = font;
        cached.smallFont = font;
        cached.smallFont.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() * 0.85 : 9);
        const QStyle* style = QApplication::style();
        cached.fieldHeight = std::max(IconSize, std::ceil(QFontMetricsF(font).height()) + 4);
        cached.triangle = 13;
        cached.checkIndicator = style->pixelMetric(QStyle::PM_IndicatorWidth);
        cached.checkSpacing = style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        cached.checkHeight = std::ceil(
            std::max<double>(style->pixelMetric(QStyle::PM_IndicatorHeight), QFontMetricsF(cached.smallFont).height())
            + 2);
    }
    return cached;
}

QString checkTitle(Part part)
{
    switch (part) {
    case Part::Export:
        return localized("Include in export");
    case Part::OpenIn:
        return localized("Open link in new window");
    case Part::AsButton:
        return localized("Show as button");
    default:
        return {};
    }
}

QString exportText(bool included)
{
    return localized(included ? "Included in export" : "Not included in export");
}

QString valueText(const IXTargetValue& value)
{
    if (value.kind() == IXTargetValue::Kind::URL) return value.url().toString();
    return value.text();
}

QImage browseImage()
{
    const QImage image = PLNamedImages::imageNamed(QStringLiteral("object_browse"));
    if (!image.isNull()) return image;
    return QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(int(IconSize)).toImage();
}

void drawImageCentred(QPainter& painter, const QRectF& rect, const QImage& image)
{
    if (image.isNull()) return;
    const QRectF target(rect.x() + (rect.width() - IconSize) / 2, rect.y() + (rect.height() - IconSize) / 2, IconSize,
                        IconSize);
    painter.drawImage(target, image);
}

}  // namespace

IXReferenceInfoCell::IXReferenceInfoCell(IXReferenceCellTarget* target)
    : m_target(target)
{
}

IXReferenceInfoCell::~IXReferenceInfoCell()
{
    PLRunLoop::cancel(this);
    // An edit of a row that goes is dropped, not written.
    if (IXCellListView* view = controlView(); view && view->editingCell() == this) view->cancelEditing();
}

void IXReferenceInfoCell::setNode(const std::shared_ptr<IXReferenceNode>& node)
{
    if (node == m_node) return;
    m_node = node;
    observeNode();
    m_expanded = false;
    adjustToNode();
    updateFromNode();
}

void IXReferenceInfoCell::observeNode()
{
    const std::shared_ptr<IXReferenceNode> link = m_node ? m_node->relatedLink() : nullptr;
    UTBroadcaster* broadcaster = m_node ? m_node->observers() : nullptr;
    if (m_observedLink && m_observedLink != link && broadcaster)
        broadcaster->removeObserverTarget(this, m_observedLink.get());
    if (!broadcaster) return;
    broadcaster->addObserverTarget(this, m_node.get());
    if (link) broadcaster->addObserverTarget(this, link.get());
    m_observedLink = link;
}

bool IXReferenceInfoCell::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXReferenceNodeDidChangeProperty});
}

void IXReferenceInfoCell::notifiedOfReferenceNode(IXReferenceNode* node, const QString& property)
{
    (void)property;
    if (!m_node || (node != m_node.get() && node != m_observedLink.get())) return;
    observeNode();
    adjustToNode();
    updateFromNode();
    if (IXCellListView* view = controlView()) view->setNeedsTile();
}

bool IXReferenceInfoCell::isPictureAttachment() const
{
    return m_node->type() == IXReferenceNode::TypeLink && m_node->subtype() == IXReferenceNode::SubtypePicture;
}

// --- Opening and closing ---

void IXReferenceInfoCell::expand()
{
    if (m_expanded) return;
    m_expanded = true;
    adjustToNode();
    updateFromNode();
}

void IXReferenceInfoCell::collapse()
{
    if (!m_expanded) return;
    m_expanded = false;
    adjustToNode();
    updateFromNode();
}

void IXReferenceInfoCell::setExpandedCell(const IXReferenceInfoCell* cell)
{
    if (cell == this)
        expand();
    else
        collapse();
}

void IXReferenceInfoCell::toggleCollapse(Qt::KeyboardModifiers modifiers)
{
    const bool wasExpanded = m_expanded;
    IXCellListView* view = controlView();
    auto forEachRow = [view](const std::function<void(IXReferenceInfoCell&)>& action) {
        for (qsizetype i = 0; view && i < view->count(); ++i)
            if (auto* row = dynamic_cast<IXReferenceInfoCell*>(view->cellAtIndex(i))) action(*row);
    };
    if (modifiers & Qt::AltModifier) {
        forEachRow([wasExpanded](IXReferenceInfoCell& row) { wasExpanded ? row.collapse() : row.expand(); });
    } else if (modifiers & Qt::ControlModifier) {
        const IXReferenceInfoCell* open = wasExpanded ? nullptr : this;
        forEachRow([open](IXReferenceInfoCell& row) { row.setExpandedCell(open); });
    } else {
        m_expanded = !wasExpanded;
        adjustToNode();
        updateFromNode();
    }
    if (view) {
        view->setNeedsTile();
        view->scrollToCell(this);
    }
}

void IXReferenceInfoCell::startTitleEditing()
{
    expand();
    startEditing(Title, nullptr);
}

// --- Parts ---

void IXReferenceInfoCell::adjustToNode()
{
    m_shows.fill(false);
    if (!m_node) return;
    const bool e = m_expanded;
    const int t = m_node->type();
    const int s = m_node->subtype();
    const std::shared_ptr<IXReferenceNode>& r = m_node->relatedLink();
    const bool link = t == IXReferenceNode::TypeLink;
    m_shows[Title] = m_shows[Triangle] = m_shows[Icon] = m_shows[ExportMark] = true;
    m_shows[Export] = e;
    m_shows[Reference] = t == IXReferenceNode::TypeConnection ? e && r : e && link && s > IXReferenceNode::SubtypeMail;
    m_shows[BrowseRef] = m_shows[Reference];
    m_shows[LinkLabel] = e && link && (s == IXReferenceNode::SubtypePicture || s <= IXReferenceNode::SubtypeMail);
    m_shows[Link] = m_shows[LinkLabel];
    m_shows[AsButton] = e && link && s < IXReferenceNode::SubtypeText;
    m_shows[OpenIn] = m_shows[Link] && link
        && (s == IXReferenceNode::SubtypeWeb || (r && r->subtype() == IXReferenceNode::SubtypeWeb));
    const auto isFileOrFolder = [](int subtype) {
        return subtype == IXReferenceNode::SubtypeFolder || subtype == IXReferenceNode::SubtypeFile;
    };
    m_shows[BrowseLink] = m_shows[Link] && ((r && isFileOrFolder(r->subtype())) || (link && isFileOrFolder(s)));
}

void IXReferenceInfoCell::updateFromNode()
{
    if (!m_node) return;
    m_title = m_node->title();
    const std::shared_ptr<IXReferenceNode>& r = m_node->relatedLink();
    if (m_node->type() == IXReferenceNode::TypeConnection)
        m_path = r ? valueText(r->targetValue()) : QString();
    else
        m_path = m_node->targetRef();
    const bool picture = isPictureAttachment();
    IXReferenceNode* source = picture ? r.get() : m_node.get();
    const int subtype = source ? source->subtype() : IXReferenceNode::SubtypeNone;
    const char* placeholder = "(No Link)";
    switch (subtype) {
    case IXReferenceNode::SubtypeFile:
        placeholder = "(File Link)";
        m_linkKind = LinkFile;
        break;
    case IXReferenceNode::SubtypeFolder:
        placeholder = "(Folder Link)";
        m_linkKind = LinkFolder;
        break;
    case IXReferenceNode::SubtypeWeb:
        placeholder = "(Web Link)";
        m_linkKind = LinkWeb;
        break;
    case IXReferenceNode::SubtypeMail:
        placeholder = "(e-Mail Link)";
        m_linkKind = LinkMail;
        break;
    default:
        m_linkKind = NoLink;
        break;
    }
    m_linkPlaceholder = localized(placeholder);
    m_linkEditable = m_linkKind == LinkWeb || m_linkKind == LinkMail;
    if (m_linkKind == NoLink)
        m_link.clear();
    else if (m_linkKind == LinkWeb && !picture)
        m_link = m_node->targetRef();
    else
        m_link = valueText(source->targetValue());
    redisplay();
}

QString IXReferenceInfoCell::linkKindTitle(int kind)
{
    return kind >= 0 && kind < LinkKindCount ? localized(LinkKinds[kind].title) : QString();
}

QRectF IXReferenceInfoCell::tileWithFrame(const QRectF& frame)
{
    const Metrics& m = metrics();
    m_rects.fill(QRectF());
    m_frame = frame;
    double y = frame.top() + (m_expanded ? Gap : 0);
    const double left = frame.left() + Gap;
    double limit = frame.right() - Gap;
    const double detailX = frame.left() + DetailIndent;
    if (m_shows[Triangle])
        m_rects[Triangle] = QRectF(left, y + (m.fieldHeight - m.triangle) / 2, m.triangle, m.triangle);
    double x = left + m_rects[Triangle].width() + Gap;
    if (m_shows[ExportMark]) {
        m_rects[ExportMark]
            = QRectF(frame.right() - 10, m_expanded ? y - 1 : y + (m.fieldHeight - MarkSize) / 2, MarkSize, MarkSize);
        limit -= 12;
    }
    if (m_shows[Icon]) {
        m_rects[Icon] = QRectF(x, y + (m.fieldHeight - IconSize) / 2, IconSize, IconSize);
        x += IconSize + Gap;
    }
    if (m_shows[Title]) {
        m_rects[Title] = QRectF(x, y, std::max(0.0, limit - x), m.fieldHeight);
        y += m.fieldHeight + Gap;
    }
    auto placeCheck = [&](Part part) {
        if (!m_shows[part]) return;
        m_rects[part] = QRectF(detailX, y, m.checkWidth(checkTitle(part)), m.checkHeight);
        y += m.checkHeight + Gap;
    };
    placeCheck(Export);
    if (m_shows[Reference]) {
        double end = frame.right() - 8;
        if (m_shows[BrowseRef]) {
            m_rects[BrowseRef] = QRectF(frame.right() - Gap - IconSize, y, IconSize, m.fieldHeight);
            end = m_rects[BrowseRef].left() - 8;
        }
        m_rects[Reference] = QRectF(detailX, y, std::max(0.0, end - detailX), m.fieldHeight);
        y += m.fieldHeight + Gap;
    }
    if (m_shows[Link]) {
        m_rects[LinkLabel] = QRectF(detailX, y, IconSize, m.fieldHeight);
        const double start = m_rects[LinkLabel].right() + Gap;
        double end = frame.right() - 8;
        if (m_shows[BrowseLink]) {
            m_rects[BrowseLink] = QRectF(frame.right() - Gap - IconSize, y, IconSize, m.fieldHeight);
            end = m_rects[BrowseLink].left() - 8;
        }
        m_rects[Link] = QRectF(start, y, std::max(0.0, end - start), m.fieldHeight);
        y += m.fieldHeight + Gap;
    }
    placeCheck(AsButton);
    placeCheck(OpenIn);
    if (m_expanded) y += Gap;
    return QRectF(frame.left(), frame.top(), frame.width(), y - Gap - frame.top());
}

double IXReferenceInfoCell::heightForWidth(double width)
{
    // A closed row is its header: no need to lay it out.
    if (!m_expanded) return metrics().fieldHeight;
    return tileWithFrame(QRectF(0, 0, width, 0)).height();
}

// --- Drawing ---

void IXReferenceInfoCell::draw(QPainter& painter, const QRectF& frame)
{
    if (!m_node) return;
    tileWithFrame(frame);
    const Metrics& m = metrics();
    QWidget* view = controlView();
    QStyle* style = view ? view->style() : QApplication::style();
    const QPalette palette = view ? view->palette() : QApplication::palette();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_expanded) {
        painter.setPen(palette.color(QPalette::Mid));
        painter.setBrush(palette.color(QPalette::Base));
        painter.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius, CornerRadius);
    }
    if (m_editingPart != PartCount) {
        painter.setPen(palette.color(QPalette::Highlight));
        painter.setBrush(palette.color(QPalette::Base));
        painter.drawRoundedRect(m_rects[m_editingPart].adjusted(-1.5, -1.5, 1.5, 1.5), CornerRadius, CornerRadius);
    }
    if (m_shows[Triangle]) {
        QStyleOption option;
        if (view) option.initFrom(view);
        option.rect = m_rects[Triangle].toAlignedRect();
        option.state
            = QStyle::State_Enabled | QStyle::State_Children | (m_expanded ? QStyle::State_Open : QStyle::State_None);
        style->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, view);
    }
    if (m_shows[Icon]) painter.drawImage(m_rects[Icon], m_node->referenceIcon());
    auto drawText = [&](Part part, const QString& text, const QString& placeholder, Qt::TextElideMode elide,
                        const QColor& colour) {
        const QRectF rect = m_rects[part].adjusted(2, 0, -2, 0);
        painter.setFont(m.font);
        const bool empty = text.isEmpty();
        painter.setPen(empty ? palette.color(QPalette::PlaceholderText) : colour);
        const QString shown = QFontMetricsF(m.font).elidedText(empty ? placeholder : text, elide, rect.width());
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    };
    if (m_shows[Title] && m_editingPart != Title)
        drawText(Title, m_title, localized("(Title)"), Qt::ElideRight, palette.color(QPalette::Text));
    if (m_shows[ExportMark]) {
        painter.setPen(QPen(palette.color(QPalette::Dark), 1));
        painter.setBrush(m_node->includeInExport() ? QBrush(palette.color(QPalette::Dark)) : QBrush(Qt::NoBrush));
        painter.drawEllipse(m_rects[ExportMark].adjusted(0.5, 0.5, -0.5, -0.5));
    }
    auto drawCheck = [&](Part part, bool on) {
        if (!m_shows[part]) return;
        QStyleOptionButton option;
        if (view) option.initFrom(view);
        option.rect = m_rects[part].toAlignedRect();
        option.text = checkTitle(part);
        option.fontMetrics = QFontMetrics(m.smallFont);
        option.state = QStyle::State_Enabled | (on ? QStyle::State_On : QStyle::State_Off);
        painter.setFont(m.smallFont);
        style->drawControl(QStyle::CE_CheckBox, &option, &painter, view);
    };
    drawCheck(Export, m_node->includeInExport());
    drawCheck(OpenIn, m_node->htmlOpenInNewWindow());
    drawCheck(AsButton, m_node->htmlShowAsButton());
    if (m_shows[Reference] && m_editingPart != Reference)
        drawText(Reference, m_path, localized("(Path)"), Qt::ElideMiddle, palette.color(QPalette::Text));
    if (m_shows[BrowseRef]) drawImageCentred(painter, m_rects[BrowseRef], browseImage());
    if (m_shows[LinkLabel])
        drawImageCentred(painter, m_rects[LinkLabel],
                         PLNamedImages::imageNamed(QString::fromLatin1(LinkKinds[m_linkKind].image)));
    if (m_shows[Link] && m_editingPart != Link) {
        const QColor colour
            = isLinkEnabled() ? QColor::fromRgbF(0, 0, 0.7) : palette.color(QPalette::Disabled, QPalette::Text);
        drawText(Link, m_link, m_linkPlaceholder, Qt::ElideMiddle, colour);
    }
    if (m_shows[BrowseLink]) drawImageCentred(painter, m_rects[BrowseLink], browseImage());
}

void IXReferenceInfoCell::redisplay()
{
    if (IXCellListView* view = controlView()) view->update();
}

void IXReferenceInfoCell::retile()
{
    if (IXCellListView* view = controlView()) view->setNeedsTile();
}

// --- Mouse ---

bool IXReferenceInfoCell::trackMouse(QMouseEvent* event, const QRectF& frame, int clickCount)
{
    if (!m_node) return false;
    tileWithFrame(frame);
    IXCellListView* view = controlView();
    if (view) view->endEditing();
    const bool left = event->button() == Qt::LeftButton;
    if (event->button() == Qt::RightButton || (left && (event->modifiers() & Qt::MetaModifier))) {
        QMenu* menu = makeContextMenu().release();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPosition().toPoint());
        return true;
    }
    if (!left) return false;
    if (clickCount > 1) {
        executeNode();
        return true;
    }
    const QPointF point = event->position();
    const auto hit = [&](Part part) { return m_shows[part] && m_rects[part].contains(point); };
    if (hit(Triangle) || hit(Icon)) {
        toggleCollapse(event->modifiers());
        return true;
    }
    for (Part part : {Title, Reference, Link}) {
        if (!hit(part)) continue;
        startEditing(part, &point);
        return true;
    }
    if (hit(Export)) {
        exportCheck(!m_node->includeInExport());
        return true;
    }
    if (hit(OpenIn)) {
        openInCheck(!m_node->htmlOpenInNewWindow());
        return true;
    }
    if (hit(AsButton)) {
        showAsButtonCheck(!m_node->htmlShowAsButton());
        return true;
    }
    if (hit(LinkLabel)) {
        QMenu* menu = makeLinkKindMenu().release();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(view ? view->mapToGlobal(m_rects[LinkLabel].bottomLeft().toPoint())
                         : event->globalPosition().toPoint());
        return true;
    }
    if (hit(BrowseRef)) {
        browsePath();
        return true;
    }
    if (hit(BrowseLink)) {
        browseURL();
        return true;
    }
    return false;
}

std::unique_ptr<QMenu> IXReferenceInfoCell::makeContextMenu()
{
    auto menu = std::make_unique<QMenu>();
    const std::shared_ptr<IXReferenceNode> node = m_node;
    QAction* remove = menu->addAction(localized("Delete Object"));
    PLExceptionBoundary::connect(remove, &QAction::triggered, this, [this, node] {
        if (m_target && node) m_target->deleteReference(node);
    });
    menu->addSeparator();
    QAction* execute = menu->addAction(localized("Execute"));
    PLExceptionBoundary::connect(execute, &QAction::triggered, this, [this, node] {
        if (m_target && node) m_target->executeReference(node);
    });
    return menu;
}

std::unique_ptr<QMenu> IXReferenceInfoCell::makeLinkKindMenu()
{
    auto menu = std::make_unique<QMenu>();
    for (int kind = 0; kind < LinkKindCount; ++kind) {
        QAction* item = menu->addAction(
            QIcon(QPixmap::fromImage(PLNamedImages::imageNamed(QString::fromLatin1(LinkKinds[kind].image)))),
            linkKindTitle(kind));
        item->setCheckable(true);
        item->setChecked(kind == m_linkKind);
        PLExceptionBoundary::connect(item, &QAction::triggered, this, [this, kind] { linkTypeSelect(kind); });
    }
    return menu;
}

void IXReferenceInfoCell::executeNode()
{
    PLRunLoop::perform(this, "execute", [this] {
        if (m_target && m_node) m_target->executeReference(m_node);
    });
}

// --- Editing in place ---

void IXReferenceInfoCell::startEditing(Part part, const QPointF* point)
{
    IXCellListView* view = controlView();
    if (!view || !m_node) return;
    view->tile();
    const qsizetype index = view->indexOfCell(this);
    if (index < 0) return;
    tileWithFrame(view->rectOfCell(index));
    if (!m_shows[part]) return;
    QString text;
    QString placeholder;
    bool editable = false;
    switch (part) {
    case Title:
        text = m_title;
        placeholder = localized("(Title)");
        editable = true;
        break;
    case Reference:
        text = m_path;
        placeholder = localized("(Path)");
        break;
    case Link:
        if (!isLinkEnabled()) return;
        text = m_link;
        placeholder = m_linkPlaceholder;
        editable = m_linkEditable;
        break;
    default:
        return;
    }
    view->editCell(this, m_rects[part], text, editable, placeholder, point);
    m_editingPart = part;
}

void IXReferenceInfoCell::editingDidEnd(const QString& text)
{
    const Part part = std::exchange(m_editingPart, PartCount);
    if (!m_node) return;
    if (part == Title && text != m_title) {
        runEdit([&] { m_node->setTitle(text); });
    } else if (part == Reference && text != m_path) {
        runEdit([&] { m_node->setFilePath(text); });
    } else if (part == Link && text != m_link && m_node->type() == IXReferenceNode::TypeLink) {
        IXReferenceNode* link = isPictureAttachment() ? m_node->relatedLink().get() : m_node.get();
        if (link) storeLink(*link, text);
    }
    updateFromNode();
}

void IXReferenceInfoCell::storeLink(IXReferenceNode& link, const QString& text)
{
    const QString typed = text.trimmed();
    QString target;
    if (link.subtype() == IXReferenceNode::SubtypeWeb) {
        if (!typed.isEmpty()) {
            target = IXReferenceNode::targetRefWithLocation(
                IXReferenceNode::LocationWeb,
                typed.contains(QLatin1Char(':')) ? typed : QStringLiteral("http://%1").arg(typed));
            // A text that makes no address keeps the link there was.
            if (target.isEmpty()) return;
        }
    } else if (link.subtype() == IXReferenceNode::SubtypeMail) {
        if (!typed.isEmpty()) target = IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationMail, typed);
    } else {
        return;
    }
    runEdit([&] { link.setTargetRef(target); });
}

void IXReferenceInfoCell::runEdit(const std::function<void()>& edit)
{
    IXDocumentNode* document = m_node ? m_node->documentNode() : nullptr;
    PLUndoTransaction::run(document ? document->undoManager() : nullptr, [&] {
        edit();
        return true;
    });
}

// --- Edits ---

void IXReferenceInfoCell::linkTypeSelect(int kind)
{
    if (!m_node || kind < 0 || kind >= LinkKindCount || kind == m_linkKind) return;
    const int subtype = LinkKinds[kind].subtype;
    if (isPictureAttachment()) {
        runEdit([&] {
            std::shared_ptr<IXReferenceNode> link = m_node->relatedLink();
            if (link) link->setTargetRef(QString());
            if (kind == NoLink) {
                m_node->setRelatedLink(nullptr);
                return;
            }
            if (!link) link = m_node->addRelatedLink();
            link->setSubtype(subtype);
        });
    } else if (m_node->type() == IXReferenceNode::TypeLink && m_node->subtype() <= IXReferenceNode::SubtypeMail) {
        runEdit([&] {
            if (kind == NoLink) m_node->setTargetRef(QString());
            m_node->setSubtype(subtype);
        });
    }
    observeNode();
    adjustToNode();
    updateFromNode();
    retile();
}

void IXReferenceInfoCell::exportCheck(bool include)
{
    if (!m_node) return;
    runEdit([&] { m_node->setIncludeInExport(include); });
    updateFromNode();
}

void IXReferenceInfoCell::openInCheck(bool openInNewWindow)
{
    if (!m_node) return;
    runEdit([&] { m_node->setHtmlOpenInNewWindow(openInNewWindow); });
    updateFromNode();
}

void IXReferenceInfoCell::showAsButtonCheck(bool showAsButton)
{
    if (!m_node) return;
    runEdit([&] { m_node->setHtmlShowAsButton(showAsButton); });
    updateFromNode();
}

void IXReferenceInfoCell::browsePath()
{
    if (!m_node) return;
    const QString path = IXReferenceTypeManager::choosePathForType(m_node->subtype());
    if (path.isEmpty()) return;
    runEdit([&] { m_node->setFilePath(path); });
    updateFromNode();
}

void IXReferenceInfoCell::browseURL()
{
    IXApplicationServices* services = IXApplicationServices::shared();
    if (!m_node || !services) return;
    IXApplicationServices::OpenPanelOptions options;
    options.canChooseDirectories = m_linkKind == LinkFolder;
    options.title = localized(options.canChooseDirectories ? "Select Folder" : "Select File");
    const std::optional<IXApplicationServices::OpenPanelResult> result = services->runOpenPanel(options);
    if (!result || result->paths.isEmpty() || result->paths.first().isEmpty()) return;
    const QString path = result->paths.first();
    if (isPictureAttachment()) {
        const std::shared_ptr<IXReferenceNode>& link = m_node->relatedLink();
        if (link)
            runEdit([&] {
                link->setTargetRef(IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationFile, path));
            });
    } else {
        runEdit([&] { m_node->setFilePath(path); });
    }
    updateFromNode();
}

// --- Tool tips ---

QString IXReferenceInfoCell::toolTipAt(const QPointF& point, const QRectF& frame)
{
    if (!m_node) return {};
    tileWithFrame(frame);
    const auto hit = [&](Part part) { return m_shows[part] && m_rects[part].contains(point); };
    if (hit(ExportMark)) return exportText(m_node->includeInExport());
    if (m_expanded) {
        if (hit(Reference)) return m_path;
        if (hit(Link)) return m_link;
        if (hit(LinkLabel)) return linkKindTitle(m_linkKind);
        return {};
    }
    if (!hit(Title)) return {};
    QString tip = m_node->targetRef() + QLatin1Char('\n');
    if (isPictureAttachment() && m_node->relatedLink())
        tip += localized("Link: %@\n").replace(QStringLiteral("%@"), m_node->relatedLink()->targetRef());
    return tip + exportText(m_node->includeInExport());
}
