#pragma once

class IXDocumentPrinting;
class QString;
class IXWindowControlling;
class QWidget;

// What a document needs of each of its window controllers. The document window controller
// implements it; the document owns its controllers and deletes them when it closes.
class IXDocumentWindowControlling {
public:
    virtual ~IXDocumentWindowControlling();

    // The controller's window; null before it is loaded.
    virtual QWidget* window() const = 0;
    // Brings the window to the front as the key window.
    virtual void showWindow() = 0;
    // The document is about to write its package: store the window's state and its preview
    // pictures in the document node.
    virtual void documentWillSave() = 0;
    // The document node was exchanged (revert): rebuild the views over the new one.
    virtual void documentNodeDidChange() = 0;
    // The controller as the document model sees it (selection, note editor); null when it
    // offers none.
    virtual IXWindowControlling* modelController() { return nullptr; }
    // What prints the document (the window's printing view); null while printing is not
    // available.
    virtual IXDocumentPrinting* documentPrinting() { return nullptr; }
    // A non-modal line of text in the window (a failed autosave), shown until hidden.
    virtual void showNotice(const QString& text) {}
    virtual void hideNotice() {}
};
