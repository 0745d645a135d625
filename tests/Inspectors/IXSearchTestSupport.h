#pragma once

// A document window controller for the find and spelling panels: the inspectors' fake
// controller over the search fixture document, recording what the panels ask of the window
// (selections, note editors) and the tools they start.

#include "DocumentModel/IXSearchTestDocument.h"
#include "DocumentModel/IXToolManaging.h"
#include "DocumentModel/IXWindowControlling.h"
#include "IXInspectorTestSupport.h"

#include <QSettings>
#include <QTemporaryDir>

class FakeSearchWindow : public FakeInspectedController, public IXWindowControlling {
public:
    explicit FakeSearchWindow(const QStringList& texts = SearchTestDocument::forwardTexts())
        : fixture(texts, &m_undo)
    {
        m_document->setUndoManager(nullptr);
        m_document = fixture.document;
    }

    void setSelection(const IXSelection& selection) override { selections << selection.firstNode(); }
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>& reference) override
    {
        openedNotes << reference;
    }
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return m_document; }
    void addSubbranch() override { }
    int documentLayout() const override { return 0; }

    SearchTestDocument fixture;
    QList<std::shared_ptr<IXNode>> selections;
    QList<std::shared_ptr<IXReferenceNode>> openedNotes;
};

// Records the tools asked for; starts none.
class RecordingToolManager : public IXToolManaging {
public:
    RecordingToolManager() { IXToolManaging::install(this); }
    ~RecordingToolManager() override { IXToolManaging::install(nullptr); }
    IXTool* activateToolNamed(IXToolName toolClass, const std::shared_ptr<IXNode>& object, IXLayoutContext*,
                              const PLMouseEvent*) override
    {
        started << QString::fromLatin1(toolClass.text());
        objects << object;
        return nullptr;
    }
    void discardCurrentTool() override { }

    QStringList started;
    QList<std::shared_ptr<IXNode>> objects;
};

// Settings in a file of a temporary folder while it lives.
class TemporarySettings {
public:
    QString path() const { return m_folder.filePath("settings.ini"); }
    std::unique_ptr<QSettings> make() const { return std::make_unique<QSettings>(path(), QSettings::IniFormat); }

private:
    QTemporaryDir m_folder;
};
