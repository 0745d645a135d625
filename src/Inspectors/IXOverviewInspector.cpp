#include "Inspectors/IXOverviewInspector.h"

#include "DocumentViews/IXOverview.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXOverviewFramedView.h"
#include "Inspectors/IXOverviewView.h"
#include "Inspectors/IXOverviewWindow.h"
#include "Inspectors/IXPanelFade.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>

const QString IXOverviewInspector::WindowFrameKey = QStringLiteral("IXOverviewWindow");

namespace {

IXOverviewInspector::Services& installedServices()
{
    static IXOverviewInspector::Services services;
    return services;
}

// A rectangle of Qt's y-down space in the y-up space mirrored at y = 0.
PLRect mirrored(const QRect& rect)
{
    return PLRect(float(rect.x()), float(-(rect.y() + rect.height())), float(rect.width()), float(rect.height()));
}

// Layouts without a map: the outline and the print layout.
bool isMapLayout(int layout)
{
    return layout != 3 && layout != 9;
}

}  // namespace

void IXOverviewInspector::installServices(Services services)
{
    installedServices() = std::move(services);
}

IXOverviewInspector::IXOverviewInspector() = default;

IXOverviewInspector::IXOverviewInspector(IXInspectedController* controller)
    : IXInspectorController(controller)
    , m_slave(true)
{
    // The base bound the controller before this part existed.
    observeHost();
    m_currentLayoutTag = controller ? controller->documentLayout() : -1;
}

IXOverviewInspector::~IXOverviewInspector()
{
    PLNotificationCenter::defaultCenter().removeObserver(this);
    PLRunLoop::cancel(this);
    if (m_animation) m_animation->stop();
    if (m_observedHost) m_observedHost->removeEventFilter(this);
    if (m_observedArea) m_observedArea->removeEventFilter(this);
    if (m_documentView) m_documentView->removeEventFilter(this);
    delete m_window.data();
}

bool IXOverviewInspector::isApplicable() const
{
    return controller() && isMapLayout(controller()->documentLayout());
}

QString IXOverviewInspector::inspectorTitle() const
{
    return PLLocalizedStrings::string(QStringLiteral("Overview"));
}

QWidget* IXOverviewInspector::inspectorView()
{
    loadWindow();
    return m_overView;
}

IXOverviewWindow* IXOverviewInspector::overviewWindow() const
{
    return qobject_cast<IXOverviewWindow*>(m_window.data());
}

IXOverviewFramedView* IXOverviewInspector::framedView() const
{
    return qobject_cast<IXOverviewFramedView*>(m_overView);
}

IXOverviewView* IXOverviewInspector::plainView() const
{
    return qobject_cast<IXOverviewView*>(m_overView);
}

QWidget* IXOverviewInspector::window()
{
    loadWindow();
    return m_window;
}

void IXOverviewInspector::loadWindow()
{
    if (m_window) return;
    if (m_slave) {
        auto* window = new IXOverviewWindow(hostWidget());
        auto* view = new IXOverviewFramedView;
        window->setContentView(view);
        window->setHost(this);
        window->hide();
        m_overView = view;
        m_window = window;
        return;
    }
    auto* panel = new QWidget(nullptr, Qt::Tool);
    panel->setAttribute(Qt::WA_QuitOnClose, false);
    panel->setWindowTitle(PLLocalizedStrings::string(QStringLiteral("Overview")));
    panel->setMinimumSize(PanelMinimumSide, PanelMinimumSide);
    panel->setMaximumSize(PanelMaximumSide, PanelMaximumSide);
    panel->resize(PanelSide, PanelSide);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new IXOverviewView(panel);
    view->setHost(this);
    layout->addWidget(view);
    // A new size asks for a picture of that size.
    view->installEventFilter(this);
    m_overView = view;
    m_window = panel;
}

QWidget* IXOverviewInspector::hostWidget() const
{
    return controller() ? controller()->window() : nullptr;
}

QRect IXOverviewInspector::hostAreaInHost() const
{
    QWidget* host = hostWidget();
    QWidget* area = controller() ? controller()->workAreaWidget() : nullptr;
    if (!host || !area || !host->isAncestorOf(area)) return {};
    return QRect(area->mapTo(host, QPoint(0, 0)), area->size());
}

void IXOverviewInspector::setController(IXInspectedController* newController)
{
    if (newController == controller()) return;
    if (m_slave && m_window && m_window->isVisible()) m_window->hide();
    IXInspectorController::setController(newController);
    observeHost();
    m_currentLayoutTag = newController ? newController->documentLayout() : -1;
    updateCurrentView();
    updateOverviewData();
}

void IXOverviewInspector::observeHost()
{
    QWidget* host = hostWidget();
    if (host == m_observedHost) return;
    if (m_observedHost) m_observedHost->removeEventFilter(this);
    m_observedHost = host;
    if (host) host->installEventFilter(this);
}

// --- Following the document view ---

void IXOverviewInspector::updateCurrentView()
{
    QWidget* view = controller() ? controller()->documentView() : nullptr;
    if (view == m_documentView) return;
    auto& center = PLNotificationCenter::defaultCenter();
    if (m_observedScroller)
        center.removeObserver(this, IXScalingScrollView::ReflectScrolledClipViewNotification,
                              m_observedScroller.data());
    m_observedScroller = nullptr;
    if (m_documentView) m_documentView->removeEventFilter(this);
    if (m_observedArea) m_observedArea->removeEventFilter(this);
    m_observedArea = nullptr;
    m_documentView = view;
    m_lastChangeCount = -1;
    if (!view || !isApplicable()) return;
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view)) {
        m_observedScroller = scroller;
        center.addObserver(this, IXScalingScrollView::ReflectScrolledClipViewNotification, scroller,
                           [this](const PLNotification&) { updateOverviewVisibleRect(); });
    }
    // Every frame of the map is checked for a new picture (cheap while the count stays).
    view->installEventFilter(this);
    if (QWidget* area = controller()->workAreaWidget(); area && area != view) {
        m_observedArea = area;
        area->installEventFilter(this);
    }
}

void IXOverviewInspector::updateOverviewData()
{
    if (!m_documentView || !m_overView) return;
    auto* overview = dynamic_cast<IXOverview*>(m_documentView.data());
    if (!isApplicable() || !overview) {
        m_overView->setDocumentPreview(QImage());
        m_overView->setVisibleFrame(PLRect());
        return;
    }
    const int count = overview->overviewChangeCount();
    const PLRect frame = overview->overviewDocumentViewFrame();
    if (count != m_lastChangeCount) {
        const PLSize size = m_overView->previewSizeForDocumentSize(frame.size);
        if (size.width >= 1 && size.height >= 1) {
            const qreal ratio = m_overView->devicePixelRatioF();
            QImage image(QSize(int(std::ceil(size.width * ratio)), int(std::ceil(size.height * ratio))),
                         QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            overview->overviewDrawPreviewToImage(image);
            m_overView->setDocumentPreview(image);
            ++m_previewCount;
            // Until a picture could be made (the view has a size) it is still outdated.
            m_lastChangeCount = count;
        }
    }
    updateOverviewVisibleRect();
    m_overView->setDocumentFrame(frame);
}

void IXOverviewInspector::updateOverviewVisibleRect()
{
    if (!m_overView) return;
    const auto* layoutView = dynamic_cast<const IXLayoutView*>(m_documentView.data());
    m_overView->setVisibleFrame(isApplicable() && layoutView ? layoutView->visibleRect() : PLRect());
}

void IXOverviewInspector::updatePreview()
{
    m_lastChangeCount = -1;
    updateOverviewData();
}

void IXOverviewInspector::resetOverview()
{
    updateCurrentView();
    updateOverviewData();
    if (IXOverviewFramedView* framed = framedView()) {
        framed->setSizeFactor(framed->sizeFactor());
        framed->adjustForHost();
    }
}

void IXOverviewInspector::documentViewDidChange()
{
    m_currentLayoutTag = controller() ? controller()->documentLayout() : -1;
    updateCurrentView();
    PLRunLoop::perform(this, "resetOverview", [this] { resetOverview(); });
}

void IXOverviewInspector::selectionDidChange()
{
    const int layout = controller() ? controller()->documentLayout() : -1;
    if (layout == m_currentLayoutTag) return;
    documentViewDidChange();
}

void IXOverviewInspector::setVisibleFrameToPoint(PLPoint point)
{
    if (!isApplicable() || !m_documentView) return;
    IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(m_documentView);
    const auto* layoutView = dynamic_cast<const IXLayoutView*>(m_documentView.data());
    if (!scroller || !layoutView) return;
    // The view is y-up: the visible part's top edge is what the vertical scroller counts.
    const float visibleHeight = layoutView->visibleRect().height();
    scroller->horizontalScrollBar()->setValue(int(std::lround(point.x)));
    scroller->verticalScrollBar()->setValue(
        int(std::lround(float(m_documentView->height()) - point.y - visibleHeight)));
}

// --- Placement ---

PLRect IXOverviewInspector::hostWindowFrame() const
{
    if (!m_documentView) return {};
    return mirrored(hostAreaInHost());
}

float IXOverviewInspector::hostWindowWidth() const
{
    const QWidget* host = hostWidget();
    return host ? float(host->width()) : 0.0f;
}

PLPoint IXOverviewInspector::origin() const
{
    const IXOverviewWindow* window = overviewWindow();
    if (!window) return {};
    const PLRect host = hostWindowFrame();
    const PLRect frame = window->frameUp();
    return PLPoint(frame.minX() - host.minX(), frame.minY() - host.minY());
}

void IXOverviewInspector::setOrigin(PLPoint point)
{
    IXOverviewWindow* window = overviewWindow();
    if (!window) return;
    const PLRect host = hostWindowFrame();
    PLRect frame = window->frameUp();
    frame.origin = PLPoint(host.minX() + point.x, host.minY() + point.y);
    window->setFrameUp(frame);
    if (IXOverviewFramedView* framed = framedView()) framed->updateStickyFlags();
}

void IXOverviewInspector::placePanel()
{
    const Services& services = installedServices();
    const QRect stored = services.preference ? services.preference(WindowFrameKey).toRect() : QRect();
    if (stored.isValid() && stored.width() >= PanelMinimumSide && stored.height() >= PanelMinimumSide) {
        m_window->setGeometry(stored);
        return;
    }
    QWidget* host = hostWidget();
    const QRect area = hostAreaInHost();
    if (!host || area.isEmpty()) return;
    const QPoint topRight = host->mapToGlobal(QPoint(area.x() + area.width(), area.y()));
    m_window->setGeometry(topRight.x() - PanelSide, topRight.y(), PanelSide, PanelSide);
}

// --- Showing and hiding ---

void IXOverviewInspector::show()
{
    if (!controller()) return;
    loadWindow();
    updateCurrentView();
    if (m_slave) {
        QWidget* host = hostWidget();
        if (host && m_window->parentWidget() != host) m_window->setParent(host);
        observeHost();
        m_overView->setHost(this);
        IXOverviewFramedView* framed = framedView();
        // The size the document window allows, before the first placement.
        framed->setSizeFactor(framed->sizeFactor());
    }
    updateOverviewData();
    if (m_slave) {
        IXOverviewFramedView* framed = framedView();
        if (!(m_lastPosition == PLPoint())) {
            setOrigin(m_lastPosition);
        } else {
            const PLRect host = hostWindowFrame();
            IXOverviewWindow* window = overviewWindow();
            PLRect frame = window->frameUp();
            frame.origin = PLPoint(host.maxX() - frame.width(), host.maxY() - frame.height());
            window->setFrameUp(frame);
            framed->updateStickyFlags();
        }
        framed->adjustForHost();
    } else {
        placePanel();
    }
    m_hideAnimation = false;
    m_window->show();
    m_window->raise();
    fade(true);
}

void IXOverviewInspector::hide()
{
    if (!m_window || !m_window->isVisible() || m_hideAnimation) return;
    if (m_slave) {
        m_lastPosition = origin();
    } else if (const Services& services = installedServices(); services.setPreference) {
        services.setPreference(WindowFrameKey, m_window->geometry());
    }
    m_hideAnimation = true;
    fade(false);
}

bool IXOverviewInspector::isVisible() const
{
    return m_window && m_window->isVisible() && !m_hideAnimation;
}

void IXOverviewInspector::fade(bool in)
{
    IXPanelFade::start(m_animation, m_window, in, FadeMilliseconds, this, [this] { fadeEnded(); });
}

void IXOverviewInspector::fadeEnded()
{
    IXPanelFade::finish(m_window, m_hideAnimation);
    m_hideAnimation = false;
}

// --- Notices from the widgets ---

void IXOverviewInspector::documentWindowDidResize()
{
    if (IXOverviewFramedView* framed = framedView(); framed && m_window && m_window->isVisible()) {
        framed->setSizeFactor(framed->sizeFactor());
        framed->adjustForHost();
    }
}

bool IXOverviewInspector::eventFilter(QObject* watched, QEvent* event)
try {
    const QEvent::Type type = event->type();
    if (watched == m_documentView && type == QEvent::Paint) {
        PLRunLoop::perform(this, "documentWindowChanged", [this] {
            updateCurrentView();
            updateOverviewData();
        });
    } else if ((watched == m_observedHost || watched == m_observedArea) && type == QEvent::Resize) {
        documentWindowDidResize();
        if (watched == m_observedArea) updateOverviewVisibleRect();
    } else if (watched == m_overView && !m_slave && type == QEvent::Resize) {
        updatePreview();
    }
    return IXInspectorController::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
