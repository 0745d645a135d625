#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class PLError;
class QPrinter;
class QWidget;

// Every alert, sheet and file panel of the application shell goes through the one installed
// instance of this service, so that tests answer them without showing anything. The widget
// implementation (IXWidgetDialogs) is used until another is installed. A dialog given a window
// is that window's sheet (window-modal); without one it is application-modal.
class IXDialogs {
public:
    enum class AlertStyle { Informational, Warning, Critical };

    struct Alert {
        QString title;
        QString message;
        // The buttons from right to left: the first is the default (Return), the one at
        // cancelButton answers Escape (-1: none).
        QStringList buttons;
        int cancelButton = -1;
        AlertStyle style = AlertStyle::Warning;
    };

    struct OpenPanel {
        QString title;
        // Extensions without the dot; empty allows any file.
        QStringList allowedExtensions;
        QString directory;
        bool canChooseDirectories = false;
        bool allowsMultipleSelection = false;
    };

    struct SavePanel {
        QString title;
        QString directory;
        QString fileName;
        // The extension the chosen name gets when it has none.
        QString requiredExtension;
        bool canCreateDirectories = true;
    };

    virtual ~IXDialogs();

    // The installed service; the widget service when none is installed.
    static IXDialogs& shared();
    // Installs a service (null goes back to the widget service); the caller keeps ownership.
    static void install(IXDialogs* dialogs);

    // The index of the chosen button.
    virtual int runAlert(const Alert& alert, QWidget* window) = 0;
    // The chosen paths, or nothing when cancelled.
    virtual std::optional<QStringList> runOpenPanel(const OpenPanel& panel, QWidget* window) = 0;
    // The chosen path (with the required extension), or nothing when cancelled.
    virtual std::optional<QString> runSavePanel(const SavePanel& panel, QWidget* window) = 0;
    // Shows an error with one OK button: its description and, beneath, its failure reason
    // and the lower layer's text when they add anything.
    virtual void presentError(const PLError& error, QWidget* window) = 0;
    // The print panel over the printer (its choices are set on it); false when cancelled.
    // Services that show no panels cancel.
    virtual bool runPrintPanel(QPrinter& printer, QWidget* window);
};
