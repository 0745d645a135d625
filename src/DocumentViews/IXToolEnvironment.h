#pragma once

class IXLayoutContext;
class IXOpenDocument;
class UTObserver;

// What the tool manager and the tools need of the layout contexts they work on and of the
// windows around them: observing a context (to hear that it ends), the document an editing
// tool registers with, the window's document view, and the active inspector's context for
// requests that name none. The application installs the implementation over the map layout's
// contexts and its window controllers at start-up; tests install a recording fake. Without one
// nothing is observed or focused and a request without a context finds none.
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
    // Registers and removes an observer of the context's notices.
    virtual void addContextObserver(IXLayoutContext* context, UTObserver* observer) = 0;
    virtual void removeContextObserver(IXLayoutContext* context, UTObserver* observer) = 0;
    // The open document of the context's window, or null.
    virtual IXOpenDocument* documentOfContext(IXLayoutContext* context) = 0;
};
