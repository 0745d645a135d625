#include "Inspectors/IXInspectorController.h"

#include "DocumentModel/IXDocumentNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"

#include <QSizePolicy>
#include <QWidget>

#include <cmath>

const QString IXActiveControllerChangedNotification = QStringLiteral("IXActiveControllerChangedNotification");
const QString IXInspectorViewUpdateNotification = QStringLiteral("IXInspectorViewUpdateNotification");
const QString IXInspectorSelectionChangedNotification = QStringLiteral("IXSelectionChanged");

namespace {

struct CurrentWindow {
    QPointer<QWidget> window;
    IXInspectorController::ControllerLookup lookup;
};

CurrentWindow& current()
{
    static CurrentWindow state;
    return state;
}

IXInspectedController* controllerOf(const QWidget* window)
{
    return window && current().lookup ? current().lookup(window) : nullptr;
}

// Inspectors observe notices under the address of their inspector part, the same while the
// object is made, lives and is taken apart (a most-derived address would change on the way).
const void* identity(const IXInspectorController* inspector)
{
    return static_cast<const void*>(inspector);
}

}  // namespace

IXInspectorController::IXInspectorController() = default;

IXInspectorController::IXInspectorController(IXInspectedController* controller)
{
    m_tracksSelection = true;
    setController(controller);
}

IXInspectorController::~IXInspectorController()
{
    PLNotificationCenter::defaultCenter().removeObserver(identity(this));
    PLRunLoop::cancel(this);
}

void IXInspectorController::installControllerLookup(ControllerLookup lookup)
{
    current().lookup = std::move(lookup);
}

void IXInspectorController::setCurrentWindow(QWidget* window)
{
    IXInspectedController* controller = controllerOf(window);
    if (window && !controller) return;
    current().window = window;
    PLNotificationCenter::defaultCenter().post(
        IXActiveControllerChangedNotification, PLIdentityOf(controller),
        {{QStringLiteral("controller"), QVariant::fromValue(static_cast<void*>(controller))}});
}

QWidget* IXInspectorController::currentWindow()
{
    return current().window;
}

void IXInspectorController::windowDidBecomeMain(QWidget* window)
{
    if (window != current().window) setCurrentWindow(window);
}

void IXInspectorController::windowWillClose(QWidget* window)
{
    if (window && window == current().window) setCurrentWindow(nullptr);
}

IXInspectedController* IXInspectorController::activeController()
{
    return controllerOf(current().window);
}

void IXInspectorController::setTracksActiveController(bool tracks)
{
    auto& center = PLNotificationCenter::defaultCenter();
    center.removeObserver(identity(this), IXActiveControllerChangedNotification);
    m_tracksActiveController = tracks;
    if (!tracks) return;
    m_tracksSelection = true;
    center.addObserver(identity(this), IXActiveControllerChangedNotification, nullptr,
                       [this](const PLNotification& notice) {
                           setController(static_cast<IXInspectedController*>(
                               notice.userInfo.value(QStringLiteral("controller")).value<void*>()));
                       });
    setController(activeController());
}

void IXInspectorController::setController(IXInspectedController* controller)
{
    if (controller == m_controller) return;
    setSelection(IXSelection());
    controllerWillChange();
    if (m_controller && m_tracksSelection) stopObservingSelectionOf();
    m_controller = controller;
    m_controllerIdentity = PLIdentityOf(controller);
    if (m_controller && m_tracksSelection) observeSelectionOf(m_controller);
    controllerDidChange();
}

void IXInspectorController::setTracksControllerSelection(bool tracks)
{
    if (tracks == m_tracksSelection) return;
    m_tracksSelection = tracks;
    if (!m_controller) return;
    if (tracks)
        observeSelectionOf(m_controller);
    else
        stopObservingSelectionOf();
}

void IXInspectorController::observeSelectionOf(IXInspectedController* controller)
{
    PLNotificationCenter::defaultCenter().addObserver(identity(this), IXInspectorSelectionChangedNotification,
                                                      PLIdentityOf(controller), [this](const PLNotification&) {
                                                          if (m_controller) setSelection(m_controller->selection());
                                                      });
    setSelection(controller->selection());
}

void IXInspectorController::stopObservingSelectionOf()
{
    // By the identity taken when it was bound: the controller may be on its way out.
    PLNotificationCenter::defaultCenter().removeObserver(identity(this), IXInspectorSelectionChangedNotification,
                                                         m_controllerIdentity);
}

void IXInspectorController::setSelection(const IXSelection& selection)
{
    if (selection.isIdenticalTo(m_selection)) return;
    // Two empty selections are the same choice: no hooks for clearing an empty one.
    if (selection.isEmpty() && m_selection.isEmpty()) return;
    selectionWillChange();
    m_selection = selection;
    selectionDidChange();
}

void IXInspectorController::reloadSelection()
{
    selectionWillChange();
    selectionDidChange();
}

void IXInspectorController::postUpdateControls()
{
    if (m_updatePosted) return;
    m_updatePosted = true;
    PLRunLoop::perform(this, "updateControls", [this] {
        m_updatePosted = false;
        updateControls();
    });
}

void IXInspectorController::notifyMeOnInspectorViewUpdates()
{
    PLNotificationCenter::defaultCenter().addObserver(
        identity(this), IXInspectorViewUpdateNotification, nullptr, [this](const PLNotification& notice) {
            inspectorViewUpdateNotification(
                static_cast<IXInspectorController*>(notice.userInfo.value(QStringLiteral("inspector")).value<void*>()));
        });
}

void IXInspectorController::notifyInspectorViewUpdate()
{
    PLNotificationCenter::defaultCenter().post(
        IXInspectorViewUpdateNotification, identity(this),
        {{QStringLiteral("inspector"), QVariant::fromValue(static_cast<void*>(this))}});
}

PLUndoManager* IXInspectorController::undoManager() const
{
    const auto node = m_controller ? m_controller->documentNode() : nullptr;
    return node ? node->undoManager() : nullptr;
}

void IXInspectorController::arrangeSubviewsInContainerView(QWidget* container)
{
    const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    int width = 0;
    for (QWidget* child : children) width = std::max(width, child->width());
    int y = 0;
    for (QWidget* child : children) {
        if (child->width() < width && (child->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag))
            child->resize(width, child->height());
        child->move(0, y);
        y += child->height();
    }
    container->resize(width, y);
}
