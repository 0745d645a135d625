// Starts the editor: the application object, the shared services, the start-up sequence of
// the application delegate, and the map files named on the command line.
//
// IX_SCREENSHOT=<file.png> saves a picture of the front document window once it has been shown
// for IX_SCREENSHOT_DELAY milliseconds (default 1000), prints the file of the document it shows
// and quits: a way to look at the window without a display (QT_QPA_PLATFORM=offscreen).
#include "DocumentModel/IXApplicationServices.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXQuickViewController.h"
#include "DocumentWindow/IXShellServices.h"
#include "DocumentWindow/IXTemplateStorage.h"
#include "DocumentWindow/IXWindowController.h"
#include "MapLayout/IXInfoTagPresenting.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXStartupServices.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Utilities/UTStartupTrace.h"
#include "UtilityWidgets/UTInfoTag.h"
#include "UtilityWidgets/UTInfoTagWindow.h"

#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <cstdio>


namespace {

// IX_STARTUP_TRACE=1 prints the wall-clock time (ms since the epoch) of the start-up's
// milestones (UTStartupTrace), among them when the splash and the first map view are first
// painted, and quits after the map's frame: the start-up benchmark (bench/startup.sh) reads
// these lines.
class StartupTrace : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    try {
        if (event->type() != QEvent::Paint) return false;
        const char* name = watched->metaObject()->className();
        if (!m_splash && watched == IXAppController::sharedController().splashWindow()) {
            m_splash = true;
            UTStartupTrace::mark("splash-painted");
        } else if (!m_map && qstrcmp(name, "IXMapView") == 0) {
            m_map = true;
            UTStartupTrace::mark("map-paint-start");
            // After this paint has run.
            QTimer::singleShot(0, PLExceptionBoundary::guard([] {
                UTStartupTrace::mark("map-painted");
                QCoreApplication::exit(0);
            }));
        }
        return false;
    } catch (...) {
        PLExceptionBoundary::caught();
        return false;
    }

private:
    bool m_splash = false;
    bool m_map = false;
};

void scheduleScreenshot(IXApplication& application)
{
    const QString path = qEnvironmentVariable("IX_SCREENSHOT");
    if (path.isEmpty()) return;
    bool ok = false;
    int delay = qEnvironmentVariableIntValue("IX_SCREENSHOT_DELAY", &ok);
    if (!ok) delay = 1000;
    auto* poll = new QTimer(&application);
    poll->setInterval(50);
    PLExceptionBoundary::connect(poll, &QTimer::timeout, &application, [poll, path, delay, &application] {
        IXDocument* document = IXDocumentController::shared().documents().value(0);
        QWidget* window = document ? document->window() : nullptr;
        if (!window || !window->isVisible()) return;
        poll->stop();
        QTimer::singleShot(delay, &application, PLExceptionBoundary::guard([path, &application] {
            IXDocument* front = IXDocumentController::shared().documents().value(0);
            QWidget* shown = front ? front->window() : nullptr;
            const bool saved = shown && shown->grab().save(path, "PNG");
            if (!saved) std::fprintf(stderr, "ideaflux: the screenshot could not be saved to %s\n", qPrintable(path));
            // Which document the picture shows: its file, or an empty line for an untitled one.
            if (saved) std::printf("%s\n", qPrintable(front->fileName()));
            application.exit(saved ? 0 : 1);
        }));
    });
    poll->start();
}

}  // namespace

int main(int argc, char** argv)
{
    UTStartupTrace::mark("main");
    QCoreApplication::setOrganizationName(QStringLiteral("Ideaflux"));
    QCoreApplication::setApplicationName(QStringLiteral("Ideaflux"));
    IXApplication application(argc, argv);
    StartupTrace trace;
    if (qEnvironmentVariableIsSet("IX_STARTUP_TRACE")) application.installEventFilter(&trace);
    // What the tools install too, then the shell's own services.
    IXStartupServices::install();
    IXShellServices services;
    IXApplicationServices::install(&services);
    IXInfoTagPresenting::install(UTInfoTag::sharedInstance());
    IXToolManager::sharedManager();
    IXWindowController::installAsShellControllers();
    IXQuickViewControlling::install(&IXQuickViewController::sharedController());
    IXTemplateStorage::sharedStorage();

    IXAppController& delegate = IXAppController::sharedController();
    application.setDelegate(&delegate);
    delegate.applicationWillFinishLaunching();

    // Files named on the command line open before the first document would, which then stays
    // away; failures are shown to the user by the document controller.
    const QStringList arguments = application.arguments().mid(1);
    if (!arguments.isEmpty()) UTStartupTrace::mark("opening");
    for (const QString& argument : arguments) {
        PLError error;
        if (!IXDocumentController::shared().openDocument(QFileInfo(argument).absoluteFilePath(), true, &error))
            std::fprintf(stderr, "ideaflux: %s: %s\n", qPrintable(argument), qPrintable(error.localizedDescription()));
    }
    delegate.applicationDidFinishLaunching();
    scheduleScreenshot(application);

    // Closing the last document window ends the program (once the start-up is over).
    PLExceptionBoundary::connect(&IXDocumentController::shared(), &IXDocumentController::documentsChanged, &application,
                     [&delegate] {
                         if (IXDocumentController::shared().documents().isEmpty() && !delegate.splashWindow())
                             QCoreApplication::quit();
                     });

    const int status = application.exec();
    delegate.applicationWillTerminate();
    if (!IXDocumentController::shared().documents().isEmpty()) {
        // Ended from outside with documents open: their changes go to recovery copies, offered
        // at the next start; the windows are not torn down after the application object.
        IXDocumentController::shared().autosaveAllDocuments();
        std::fflush(nullptr);
        std::_Exit(status);
    }
    IXLayoutCellFactory::install(nullptr);
    return status;
}
