#pragma once

// Fakes of the services that the document model asks of the views, tools and application
// shell. Each records what it was asked; the installers put them in place for one test.

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXToolManaging.h"
#include "DocumentModel/IXWindowControlling.h"
#include "Platform/Core/PLError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class FakeToolManager : public IXToolManaging {
public:
    struct Activation {
        QString toolClassName;
        std::shared_ptr<IXNode> object;
        IXLayoutContext* context = nullptr;
        const PLMouseEvent* event = nullptr;
    };
    QList<Activation> activations;
    int discardCount = 0;

    FakeToolManager() { install(this); }
    ~FakeToolManager() override { install(nullptr); }

    IXTool* activateToolNamed(IXToolName toolClass, const std::shared_ptr<IXNode>& object, IXLayoutContext* context,
                              const PLMouseEvent* event) override
    {
        activations.append({toolClass.toString(), object, context, event});
        return nullptr;
    }
    void discardCurrentTool() override { ++discardCount; }
};

class FakeWindowController : public IXWindowControlling {
public:
    // Called with each selection, so that a test can look at it while it is alive.
    std::function<void(const IXSelection&)> onSetSelection;
    int setSelectionCount = 0;
    QList<std::shared_ptr<IXReferenceNode>> openedNoteEditors;
    // What documentNode and documentLayout answer.
    std::shared_ptr<IXDocumentNode> node;
    int layoutMode = 0;
    int addSubbranchCount = 0;

    void setSelection(const IXSelection& selection) override
    {
        ++setSelectionCount;
        if (onSetSelection) onSetSelection(selection);
    }
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>& reference) override
    {
        openedNoteEditors.append(reference);
    }
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    void addSubbranch() override { ++addSubbranchCount; }
    int documentLayout() const override { return layoutMode; }
};

class FakeOpenDocument : public IXOpenDocument {
public:
    std::shared_ptr<IXDocumentNode> node;
    FakeWindowController* windowController = nullptr;
    int showWindowsCount = 0;
    // The editors registered now, in the order they began.
    QList<PLEditor*> editors;

    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    IXWindowControlling* lastWindowController() const override { return windowController; }
    void showWindows() override { ++showWindowsCount; }
    void objectDidBeginEditing(PLEditor* editor) override { editors.append(editor); }
    void objectDidEndEditing(PLEditor* editor) override { editors.removeAll(editor); }
    QString documentFilePath() const override { return filePath; }
    QString documentFileType() const override { return fileType; }
    bool canSaveInFileType() const override { return writable; }

    QString filePath;
    QString fileType = QStringLiteral("Ideaflux Document");
    bool writable = true;
};

class FakeApplicationServices : public IXApplicationServices {
public:
    QList<IXOpenDocument*> openDocuments;
    // What openDocumentWithContentsOfURL answers: a document, or null with openError.
    IXOpenDocument* documentToOpen = nullptr;
    PLError openError;
    FakeWindowController* mainController = nullptr;
    bool canOpen = true;
    std::optional<OpenPanelResult> panelResult;

    QList<QUrl> openedDocumentURLs;
    QList<bool> openedDocumentDisplayed;
    QStringList alerts;  // "title|message|button"
    QStringList confirmations;  // "title|message|default|alternate"
    bool confirms = true;
    QList<QUrl> openedURLs;
    QStringList openedFiles;
    QList<OpenPanelOptions> openPanels;
    QVariantMap defaults;

    FakeApplicationServices() { install(this); }
    ~FakeApplicationServices() override { install(nullptr); }

    QList<IXOpenDocument*> documents() const override { return openDocuments; }
    IXOpenDocument* openDocumentWithContentsOfURL(const QUrl& url, bool display, PLError* error) override
    {
        openedDocumentURLs.append(url);
        openedDocumentDisplayed.append(display);
        if (!documentToOpen) PLSetError(error, openError);
        return documentToOpen;
    }
    IXWindowControlling* mainWindowController() const override { return mainController; }
    void runAlert(const QString& title, const QString& message, const QString& button) override
    {
        alerts.append(title + QLatin1Char('|') + message + QLatin1Char('|') + button);
    }
    bool runConfirmation(const QString& title, const QString& message, const QString& defaultButton,
                         const QString& alternateButton) override
    {
        confirmations.append(title + QLatin1Char('|') + message + QLatin1Char('|') + defaultButton + QLatin1Char('|')
                             + alternateButton);
        return confirms;
    }
    bool openURL(const QUrl& url) override
    {
        openedURLs.append(url);
        return canOpen;
    }
    bool openFile(const QString& path) override
    {
        openedFiles.append(path);
        return canOpen;
    }
    std::optional<OpenPanelResult> runOpenPanel(const OpenPanelOptions& options) override
    {
        openPanels.append(options);
        return panelResult;
    }
    QVariant userDefault(const QString& key) const override { return defaults.value(key); }
    void setUserDefault(const QString& key, const QVariant& value) override { defaults.insert(key, value); }
};
