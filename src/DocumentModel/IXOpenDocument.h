#pragma once

#include <QString>

#include <memory>

class IXDocumentNode;
class IXWindowControlling;
class PLEditor;

// What the document model needs of an open document of the application (the document class
// of the application shell implements it). The document owns its document node.
class IXOpenDocument {
public:
    virtual ~IXOpenDocument();

    // The document's node tree; null only while reading the document failed.
    virtual std::shared_ptr<IXDocumentNode> documentNode() const = 0;
    // The controller of the document's most recently added window, or null.
    virtual IXWindowControlling* lastWindowController() const = 0;
    // Brings the document's windows to the front.
    virtual void showWindows() = 0;
    // An editor (an editing tool with a change in progress) registers while it edits and
    // unregisters when it ends, so that the document can have it commit or discard its change
    // before the document is saved or closed. Editors are not owned.
    virtual void objectDidBeginEditing(PLEditor* editor) = 0;
    virtual void objectDidEndEditing(PLEditor* editor) = 0;

    // The file the document was opened from or last saved to; empty while it has none.
    virtual QString documentFilePath() const = 0;
    // The type name of the document's file ("Ideaflux Document", ...).
    virtual QString documentFileType() const = 0;
    // Whether the document can be saved in the type of its file.
    virtual bool canSaveInFileType() const = 0;
};
