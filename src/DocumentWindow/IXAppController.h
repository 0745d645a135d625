#pragma once

#include "DocumentModel/IXNode.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class IXDocument;
class IXOverviewInspector;
class IXTextNoteInspector;
class IXUpdateCheck;
class QAction;
class QLabel;
class QVariantAnimation;

// The application's delegate: the start-up sequence (splash, settings, the first document),
// the application-wide commands of the menus (new, open, quit, full screen, help and web
// pages, preferences) and their validation, and the local buffer through which copied nodes
// pass between windows.
//
// Start-up: applicationWillFinishLaunching shows the splash and schedules its fade after
// SplashDelay; resets the settings of an old build; reads the layout mode.
// applicationDidFinishLaunching applies the settings and, when "IXCheckForUpdateOnStart" is set,
// starts a silent update check. The fade lasts SplashFade; FirstDocumentDelay after it begins,
// when no document window is open, a new document opens from the default template, the
// template chooser greets the user unless "IXDontShowTemplateChooser" is set, and recovery
// copies left by a crash are offered.
//
// One instance (sharedController) for the whole run; main thread only.
class IXAppController : public QObject {
    Q_OBJECT
public:
    static constexpr int SplashDelayMilliseconds = 2000;
    static constexpr int SplashFadeMilliseconds = 1000;
    static constexpr int FirstDocumentDelayMilliseconds = 1100;

    IXAppController();
    ~IXAppController() override;

    // The instance, made on first use.
    static IXAppController& sharedController();
    static bool allInOneUI();

    void applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    int applicationLayoutMode() const { return m_layoutMode; }

    // --- Splash ---
    void showSplash();
    void hideSplash();
    QWidget* splashWindow() const { return m_splashWindow; }
    bool isSplashFading() const { return m_fade != nullptr; }

    // The first document and the welcome panel, unless a document window is open; then the
    // recovery copies.
    void openNewDocument();
    // A new empty map with one root branch, shown in its window (when no template is readable).
    IXDocument* newEmptyDocument();
    // Asks about each recovery copy: recover it, discard it, or keep it for the next start.
    void offerRecoveredDocuments();

    // --- Text-note editor (floating panels layout) ---
    // The floating editor, made on first use, following the active document window.
    IXTextNoteInspector* textNoteEditor();
    IXTextNoteInspector* existingTextNoteEditor() const { return m_noteEditor.get(); }
    // The floating overview that follows the active window (layout mode 1), made on first use.
    IXOverviewInspector* overviewInspector();
    IXOverviewInspector* existingOverviewInspector() const { return m_overview.get(); }

    // --- Full screen ---
    bool isFullScreenMode() const { return m_fullScreenMode; }

    // --- Local node buffer ---
    // Keeps copies of the nodes (each copied once more by restoreNodes, so pastes are
    // independent).
    void saveNodes(const QList<std::shared_ptr<IXNode>>& nodes);
    const QList<std::shared_ptr<IXNode>>& savedNodes() const { return m_savedNodes; }
    QList<std::shared_ptr<IXNode>> restoreNodes() const;
    void saveSourceLayoutName(const QString& name) { m_sourceLayoutName = name; }
    const QString& savedSourceLayoutName() const { return m_sourceLayoutName; }

    // --- Commands ---
    // With "IXDontShowTemplateChooser" a new document from the default template, else the
    // template chooser.
    Q_INVOKABLE void newDocument(QObject* sender);
    Q_INVOKABLE void newFromTemplate(QObject* sender);
    // Starts the update check: silent when the sender is the controller itself (start-up),
    // reporting every outcome otherwise.
    Q_INVOKABLE void checkAvailaibleUpdate(QObject* sender);
    IXUpdateCheck& updateCheck();
    Q_INVOKABLE void openDocument(QObject* sender);
    Q_INVOKABLE void terminate(QObject* sender);
    Q_INVOKABLE void toggleFullScreenMode(QObject* sender);
    Q_INVOKABLE void showPreferences(QObject* sender);
    Q_INVOKABLE void helpForItem(QObject* sender);
    Q_INVOKABLE void helpByTagFor(QObject* sender);
    Q_INVOKABLE void gotoOnlineSupport(QObject* sender);
    Q_INVOKABLE void gotoHomePage(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QAction* item);
    // The full-screen toolbar item shows what it will do and needs an open document.
    Q_INVOKABLE bool validateToolbarItem(QAction* item);

private:
    void splashFadeDidEnd();
    // Opens the address with the desktop's handler; an alert tells the user when the page is
    // missing or nothing could open it.
    void openURL(const QUrl& url);

    QPointer<QWidget> m_splashWindow;
    QVariantAnimation* m_fade = nullptr;
    int m_layoutMode = 0;
    bool m_fullScreenMode = false;
    QList<std::shared_ptr<IXNode>> m_savedNodes;
    std::unique_ptr<IXTextNoteInspector> m_noteEditor;
    std::unique_ptr<IXOverviewInspector> m_overview;
    QString m_sourceLayoutName;
    IXUpdateCheck* m_updateCheck = nullptr;
};
