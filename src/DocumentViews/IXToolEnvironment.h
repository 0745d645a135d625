#pragma once

#include <QList>

#include <memory>

class IXLayoutContext;
class IXNode;

// What the tool manager and the tools need of the windows around the layout contexts: the
// window's document view, which takes the focus when a tool starts, the active inspector's
// context for requests that name none, and the application's clipboard buffer. The application installs the
// implementation over its window controllers and inspectors at start-up; tests install a recording fake. Without one
// nothing is focused and a request without a context finds none.
class IXToolEnvironment {
public:
    virtual ~IXToolEnvironment();

    // The installed environment, or null.
    static IXToolEnvironment* shared();
    // Installs the environment (null uninstalls); the caller keeps ownership.
    static void install(IXToolEnvironment* environment);

    // The layout context of the active inspector controller, or null.
    virtual IXLayoutContext* activeInspectorContext() = 0;
    // Makes the document view of the context's window controller the first responder of the
    // controller's window.
    virtual void focusDocumentView(IXLayoutContext* context) = 0;
    // Copies attachments: the application keeps copies for pasting, and the clipboard offers
    // the program's attachments type.
    virtual void copyAttachments(const QList<std::shared_ptr<IXNode>>& attachments) = 0;
    // Whether the windows can edit a reference in their object list.
    virtual bool canEditReferences() const { return false; }
    // Opens the object list of the context's window on the reference with its title being
    // edited.
    virtual void editReference(IXLayoutContext* context, const std::shared_ptr<IXNode>& reference)
    {
        (void)context;
        (void)reference;
    }
};
