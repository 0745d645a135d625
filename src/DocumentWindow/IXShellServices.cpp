#include "DocumentWindow/IXShellServices.h"

#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXShellErrors.h"
#include "Platform/Core/PLError.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

QList<IXOpenDocument*> IXShellServices::documents() const
{
    QList<IXOpenDocument*> result;
    for (IXDocument* document : IXDocumentController::shared().documents()) result += document;
    return result;
}

IXOpenDocument* IXShellServices::openDocumentWithContentsOfURL(const QUrl& url, bool display, PLError* error)
{
    if (!url.isLocalFile()) {
        PLSetError(error, IXShellErrors::error(
                              QCoreApplication::translate("IXDocumentController", "The document “%1” could not be opened.").arg(url.toDisplayString()),
                              QCoreApplication::translate("IXDocumentController", "Only documents on this computer can be opened.")));
        return nullptr;
    }
    return IXDocumentController::shared().openDocument(url.toLocalFile(), display, error);
}

IXWindowControlling* IXShellServices::mainWindowController() const
{
    IXDocument* document = IXDocumentController::shared().currentDocument();
    return document ? document->lastWindowController() : nullptr;
}

void IXShellServices::runAlert(const QString& title, const QString& message, const QString& button)
{
    IXDialogs::Alert alert;
    alert.title = title;
    alert.message = message;
    alert.buttons = {button};
    alert.cancelButton = 0;
    IXDialogs::shared().runAlert(alert, nullptr);
}

bool IXShellServices::runConfirmation(const QString& title, const QString& message, const QString& defaultButton,
                                      const QString& alternateButton)
{
    IXDialogs::Alert alert;
    alert.title = title;
    alert.message = message;
    alert.buttons = {defaultButton, alternateButton};
    alert.cancelButton = 1;
    alert.style = IXDialogs::AlertStyle::Critical;
    return IXDialogs::shared().runAlert(alert, nullptr) == 0;
}

bool IXShellServices::openURL(const QUrl& url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool IXShellServices::openFile(const QString& path)
{
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<IXApplicationServices::OpenPanelResult> IXShellServices::runOpenPanel(const OpenPanelOptions& options)
{
    IXDialogs::OpenPanel panel;
    panel.title = options.title;
    panel.allowedExtensions = options.allowedFileTypes;
    panel.directory = options.directory;
    panel.canChooseDirectories = options.canChooseDirectories;
    panel.allowsMultipleSelection = options.allowsMultipleSelection;
    const std::optional<QStringList> paths = IXDialogs::shared().runOpenPanel(panel, nullptr);
    if (!paths || paths->isEmpty()) return std::nullopt;
    OpenPanelResult result;
    result.paths = *paths;
    result.directory = QFileInfo(paths->first()).absolutePath();
    return result;
}

QVariant IXShellServices::userDefault(const QString& key) const
{
    return IXPreferences::value(key);
}

void IXShellServices::setUserDefault(const QString& key, const QVariant& value)
{
    IXPreferences::setValue(key, value);
}
