#include "DocumentWindow/IXAppController.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXHelpBook.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXPreferencesWindow.h"
#include "DocumentWindow/IXRecoveryStore.h"
#include "DocumentWindow/IXShellServices.h"
#include "DocumentWindow/IXTemplateController.h"
#include "DocumentWindow/IXUpdateCheck.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowToolbar.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXOverviewInspector.h"
#include "Inspectors/IXTextNoteInspector.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QVariantAnimation>

#include <cmath>

namespace {
IXAppController* s_shared = nullptr;
}

IXAppController::IXAppController()
{
    if (!s_shared) s_shared = this;
}

IXAppController::~IXAppController()
{
    PLRunLoop::cancel(this);
    delete m_splashWindow.data();
    if (s_shared == this) s_shared = nullptr;
}

IXAppController& IXAppController::sharedController()
{
    if (!s_shared) s_shared = new IXAppController;
    return *s_shared;
}

IXTextNoteInspector* IXAppController::textNoteEditor()
{
    if (!m_noteEditor) {
        m_noteEditor = std::make_unique<IXTextNoteInspector>();
        m_noteEditor->setTracksActiveController(true);
    }
    return m_noteEditor.get();
}

IXOverviewInspector* IXAppController::overviewInspector()
{
    if (!m_overview) {
        m_overview = std::make_unique<IXOverviewInspector>();
        m_overview->setTracksActiveController(true);
    }
    return m_overview.get();
}

bool IXAppController::allInOneUI()
{
    return sharedController().applicationLayoutMode() == 0;
}

// --- Start-up ---

void IXAppController::applicationWillFinishLaunching()
{
    showSplash();
    PLRunLoop::perform(this, "hideSplash", [this] { hideSplash(); }, std::chrono::milliseconds(SplashDelayMilliseconds),
                       PLRunLoop::commonModes());
    IXPreferences::resetWhenBuildChanged(IXPreferences::bundleBuildNumber());
    m_layoutMode = IXPreferences::applicationLayoutMode();
}

void IXAppController::applicationDidFinishLaunching()
{
    IXPreferences::updateSettings();
    if (IXPreferences::checkForUpdateOnStart() != 0) checkAvailaibleUpdate(this);
}

void IXAppController::applicationWillTerminate()
{
    IXInspectorManager::storeSharedPanels();
    // Only the floating editor is a window of its own to bring back; the glued one follows its
    // document window.
    if (!allInOneUI())
        IXPreferences::setValue(IXPreferences::TextNoteEditorVisibleKey, m_noteEditor && m_noteEditor->isVisible());
    if (m_noteEditor) {
        m_noteEditor->save();
        m_noteEditor->saveUIState();
        m_noteEditor.reset();
    }
    IXPreferences::settings()->sync();
}

void IXAppController::showSplash()
{
    if (!m_splashWindow) {
        const QImage picture = PLNamedImages::imageNamed(QStringLiteral("ix_splash"));
        auto* splash = new QLabel(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        splash->setAttribute(Qt::WA_TranslucentBackground);
        splash->setAttribute(Qt::WA_ShowWithoutActivating);
        splash->setPixmap(QPixmap::fromImage(picture));
        splash->setFixedSize(picture.size() / std::max(1.0, picture.devicePixelRatio()));
        m_splashWindow = splash;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect visible = screen->availableGeometry();
        const QSize size = m_splashWindow->size();
        // Centred across, a little above the middle (measured from the bottom, 70% up).
        const int x = int(std::ceil((visible.width() - size.width()) * 0.5));
        const int yUp = int(std::ceil((visible.height() - size.height()) * 0.7));
        m_splashWindow->move(visible.left() + x, visible.top() + visible.height() - yUp - size.height());
    }
    m_splashWindow->show();
    m_splashWindow->raise();
}

void IXAppController::hideSplash()
{
    if (!m_splashWindow || m_fade) return;
    m_fade = new QVariantAnimation(this);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    m_fade->setDuration(SplashFadeMilliseconds);
    // Window systems without window opacity (offscreen, some Wayland compositors) keep the
    // picture until the fade ends.
    static const bool hasOpacity = !QGuiApplication::platformName().startsWith(QLatin1String("offscreen"));
    PLExceptionBoundary::connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        if (m_splashWindow && hasOpacity) m_splashWindow->setWindowOpacity(value.toDouble());
    });
    PLExceptionBoundary::connect(m_fade, &QVariantAnimation::finished, this, [this] { splashFadeDidEnd(); });
    m_fade->start();
    PLRunLoop::perform(this, "openNewDocument", [this] { openNewDocument(); },
                       std::chrono::milliseconds(FirstDocumentDelayMilliseconds), PLRunLoop::commonModes());
}

void IXAppController::splashFadeDidEnd()
{
    if (m_splashWindow) {
        m_splashWindow->hide();
        m_splashWindow->deleteLater();
    }
    m_splashWindow = nullptr;
    if (m_fade) m_fade->deleteLater();
    m_fade = nullptr;
}

void IXAppController::openNewDocument()
{
    if (IXDocumentController::shared().documents().isEmpty()) {
        IXTemplateController& templates = IXTemplateController::sharedController();
        templates.openNewDocumentWithDefaultTemplate();
        if (!IXPreferences::value(IXPreferences::DontShowTemplateChooserKey).toBool()) templates.showWelcomePanel();
    }
    if (!allInOneUI() && IXPreferences::value(IXPreferences::TextNoteEditorVisibleKey).toBool())
        textNoteEditor()->show();
    offerRecoveredDocuments();
}

IXDocument* IXAppController::newEmptyDocument()
{
    PLError error;
    IXDocument* document = IXDocumentController::shared().openUntitledDocument(false, &error);
    if (!document) return nullptr;
    // One root branch under the default title.
    const auto node = document->documentNode();
    node->disableUndo();
    node->setBranches({std::make_shared<IXBranchNode>()});
    node->enableUndo();
    document->resetChangeTracking();
    document->makeWindowControllers();
    return document;
}

void IXAppController::offerRecoveredDocuments()
{
    IXDocumentController& controller = IXDocumentController::shared();
    for (const IXRecoveryEntry& entry : controller.recoverableDocuments()) {
        IXDialogs::Alert alert;
        alert.title = PLLocalizedStrings::string(QStringLiteral("Recover the unsaved changes of \"%1\"?")).arg(entry.displayName);
        alert.message = PLLocalizedStrings::string(
            QStringLiteral("Ideaflux quit before these changes were saved. A copy was kept on %1."))
                            .arg(QLocale().toString(entry.date, QLocale::ShortFormat));
        alert.buttons = {PLLocalizedStrings::string(QStringLiteral("Recover")),
                         PLLocalizedStrings::string(QStringLiteral("Discard")),
                         PLLocalizedStrings::string(QStringLiteral("Not Now"))};
        alert.cancelButton = 2;
        const int answer = IXDialogs::shared().runAlert(alert, nullptr);
        if (answer == 0) {
            PLError error;
            controller.openRecoveredDocument(entry, true, &error);
        } else if (answer == 1) {
            controller.discardRecoveredDocument(entry);
        }
    }
}

// --- Local node buffer ---

void IXAppController::saveNodes(const QList<std::shared_ptr<IXNode>>& nodes)
{
    m_savedNodes.clear();
    for (const auto& node : nodes)
        if (node) m_savedNodes.append(node->copy());
}

QList<std::shared_ptr<IXNode>> IXAppController::restoreNodes() const
{
    QList<std::shared_ptr<IXNode>> nodes;
    for (const auto& node : m_savedNodes) nodes.append(node->copy());
    return nodes;
}

// --- Commands ---

void IXAppController::newDocument(QObject*)
try {
    IXTemplateController& templates = IXTemplateController::sharedController();
    if (IXPreferences::value(IXPreferences::DontShowTemplateChooserKey).toBool())
        templates.openNewDocumentWithDefaultTemplate();
    else
        templates.showChoosePanel();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::newFromTemplate(QObject*)
try {
    IXTemplateController::sharedController().showChoosePanel();
} catch (...) {
    PLExceptionBoundary::caught();
}

IXUpdateCheck& IXAppController::updateCheck()
{
    if (!m_updateCheck) m_updateCheck = new IXUpdateCheck(this);
    return *m_updateCheck;
}

void IXAppController::checkAvailaibleUpdate(QObject* sender)
try {
    updateCheck().checkAvailaibleUpdate(sender != this);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::openDocument(QObject*)
try {
    IXDocumentController::shared().openDocumentsFromPanel();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::terminate(QObject*)
try {
    if (!IXDocumentController::shared().closeAllDocuments()) return;
    applicationWillTerminate();
    QCoreApplication::quit();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::toggleFullScreenMode(QObject*)
try {
    QList<QPointer<IXWindowController>> controllers;
    for (IXDocument* document : IXDocumentController::shared().documents()) {
        const auto list = document->windowControllers();
        if (!list.empty())
            if (auto* controller = dynamic_cast<IXWindowController*>(list.front())) controllers.append(controller);
    }
    if (controllers.isEmpty()) return;
    const bool on = !m_fullScreenMode;
    for (const QPointer<IXWindowController>& controller : controllers)
        PLRunLoop::perform(this, "fullScreen", [controller, on] {
            if (!controller) return;
            if (on)
                controller->adaptToFullScreenMode();
            else
                controller->restoreAfterFullScreenMode();
        });
    m_fullScreenMode = on;
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::showPreferences(QObject*)
try {
    IXPreferencesWindow::showPreferences();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::helpForItem(QObject* sender)
try {
    const auto* item = qobject_cast<QAction*>(sender);
    const QString anchor = item && item->data().typeId() == QMetaType::QString ? item->data().toString() : QString();
    openURL(IXHelpBook::urlForAnchor(anchor));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::helpByTagFor(QObject* sender)
try {
    const auto* item = qobject_cast<QAction*>(sender);
    openURL(IXHelpBook::urlForAnchor(IXHelpBook::anchorForTag(item ? item->data().toInt() : 0)));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::gotoOnlineSupport(QObject*)
try {
    openURL(IXHelpBook::addressFor(IXHelpBook::SupportPageAddress));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::gotoHomePage(QObject*)
try {
    openURL(IXHelpBook::addressFor(IXHelpBook::HomePageAddress));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXAppController::openURL(const QUrl& url)
{
    // A Help item that opens nothing must say so; silence looks like a dead menu.
    if (url.isValid() && IXShellServices().openURL(url)) return;
    IXDialogs::Alert alert;
    alert.title = tr("The help page could not be opened.");
    if (!url.isValid()) {
        alert.message = tr("The help pages were not found where Ideaflux is installed.");
    } else {
        alert.message = tr("No program is set up to open “%1”.").arg(url.isLocalFile() ? url.toLocalFile() : url.toDisplayString());
    }
    alert.buttons = {tr("OK")};
    alert.cancelButton = 0;
    IXDialogs::shared().runAlert(alert, nullptr);
}

bool IXAppController::validateToolbarItem(QAction* item)
try {
    if (IXActionItem::actionOf(item) != IXCommands::ToggleFullScreenMode) return true;
    item->setIcon(IXWindowToolbar::namedIcon(m_fullScreenMode ? QStringLiteral("toolbar_fullscreen_off")
                                                              : QStringLiteral("toolbar_fullscreen_on")));
    return !IXDocumentController::shared().documents().isEmpty();
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

bool IXAppController::validateMenuItem(QAction* item)
try {
    const QByteArray action = IXActionItem::actionOf(item);
    if (action == IXCommands::ToggleFullScreenMode) {
        item->setText(PLLocalizedStrings::string(m_fullScreenMode ? QStringLiteral("Full Screen Mode Off")
                                                                   : QStringLiteral("Full Screen Mode On")));
        return !IXDocumentController::shared().documents().isEmpty();
    }
    return true;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
