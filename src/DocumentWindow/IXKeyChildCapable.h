#pragma once

// A window that can become the application's key child window: a child panel of a document
// window that takes the keyboard focus while the document window stays main. Windows that do
// not derive from this never become key child windows.
class IXKeyChildCapable {
public:
    virtual ~IXKeyChildCapable();
    virtual bool canBecomeKeyChildWindow() const = 0;
};
