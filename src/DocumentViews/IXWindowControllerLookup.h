#pragma once

class IXWindowControlling;
class QWidget;

// Finds the window controller of a window, so that a document view attaches itself when it
// enters a document window. The application installs the implementation over its window
// controllers at start-up; tests install their own. Without one, views are attached by their
// owner only.
class IXWindowControllerLookup {
public:
    virtual ~IXWindowControllerLookup();

    // The installed lookup, or null.
    static IXWindowControllerLookup* shared();
    // Installs the lookup (null uninstalls); the caller keeps ownership.
    static void install(IXWindowControllerLookup* lookup);

    // The controller of the window, or null when it is no document window.
    virtual IXWindowControlling* windowControllerForWindow(const QWidget* window) = 0;
};
