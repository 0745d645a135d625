#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <optional>

class IXOpenDocument;
class IXWindowControlling;
class PLError;

// What the document model needs of the application: its open documents, the main window,
// error presentation, alerts, the desktop's file and URL handlers and open panels. The
// application shell implements this interface and installs it at start-up; tests install a
// fake that records what it was asked. Without an installed instance the model shows nothing
// and opens nothing.
class IXApplicationServices {
public:
    // A modal panel that chooses existing files.
    struct OpenPanelOptions {
        QString title;
        // File extensions that may be chosen; empty allows any file.
        QStringList allowedFileTypes;
        // The folder shown first; empty leaves the panel's own choice.
        QString directory;
        bool canChooseDirectories = false;
        bool allowsMultipleSelection = false;
    };
    struct OpenPanelResult {
        QStringList paths;
        // The folder the panel showed when it was closed.
        QString directory;
    };

    virtual ~IXApplicationServices();

    // The installed services, or null when none are installed.
    static IXApplicationServices* shared();
    // Installs the services (null uninstalls); the caller keeps ownership.
    static void install(IXApplicationServices* services);

    // The application's open documents, in the document controller's order.
    virtual QList<IXOpenDocument*> documents() const = 0;
    // Opens the document at the URL (or finds it among the open ones), showing its window
    // when display is set. Null on failure, with the error filled in.
    virtual IXOpenDocument* openDocumentWithContentsOfURL(const QUrl& url, bool display, PLError* error) = 0;
    // The controller of the main window when it is a document window, else null.
    virtual IXWindowControlling* mainWindowController() const = 0;

    // Runs a modal alert with one button.
    virtual void runAlert(const QString& title, const QString& message, const QString& button) = 0;
    // Runs a modal critical alert that asks before a change: true for the default button,
    // false for the alternate one.
    virtual bool runConfirmation(const QString& title, const QString& message, const QString& defaultButton,
                                 const QString& alternateButton)
        = 0;

    // Opens a URL with the desktop's default handler; false when nothing could open it.
    virtual bool openURL(const QUrl& url) = 0;
    // Opens a file with the desktop's default application; false when none could open it.
    virtual bool openFile(const QString& path) = 0;

    // Runs a modal open panel; nothing when the user cancelled.
    virtual std::optional<OpenPanelResult> runOpenPanel(const OpenPanelOptions& options) = 0;

    // The application's user defaults (settings kept between runs): the value stored under
    // the key, or an invalid value when none is.
    virtual QVariant userDefault(const QString& key) const = 0;
    virtual void setUserDefault(const QString& key, const QVariant& value) = 0;
};
