#pragma once

class QWidget;

// The owner of a document window's views (its window controller): the view of the active
// layout, which takes the focus when the window itself is asked to.
class IXDocumentViewOwning {
public:
    virtual ~IXDocumentViewOwning();
    // The document view of the active layout, or null.
    virtual QWidget* documentView() const = 0;
};
