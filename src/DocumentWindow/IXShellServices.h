#pragma once

#include "DocumentModel/IXApplicationServices.h"

// The application's services as the document model reaches them: the open documents of the
// document controller, dialogs through IXDialogs, the desktop's URL and file handlers, and
// the settings of IXPreferences. The application installs one at start-up.
class IXShellServices : public IXApplicationServices {
public:
    QList<IXOpenDocument*> documents() const override;
    IXOpenDocument* openDocumentWithContentsOfURL(const QUrl& url, bool display, PLError* error) override;
    IXWindowControlling* mainWindowController() const override;
    void runAlert(const QString& title, const QString& message, const QString& button) override;
    bool runConfirmation(const QString& title, const QString& message, const QString& defaultButton,
                         const QString& alternateButton) override;
    bool openURL(const QUrl& url) override;
    bool openFile(const QString& path) override;
    std::optional<OpenPanelResult> runOpenPanel(const OpenPanelOptions& options) override;
    QVariant userDefault(const QString& key) const override;
    void setUserDefault(const QString& key, const QVariant& value) override;
};
