#pragma once

#include "DocumentWindow/IXDocumentPrinting.h"

#include <QPointer>

#include <functional>

class IXPrintingView;
class QWidget;

// Prints a window's printing view on a printer: the print panel (through IXDialogs) over a
// printer set to the view's paper and orientation, then the view's own page loop. The paper
// chosen in the panel becomes the view's paper. The view is asked for only when printing,
// so that offering the command costs nothing.
//
// Settings: "copies" (a count) and "outputFile" (a path: the pages go to that PDF file).
class IXPrintOperation : public IXDocumentPrinting {
public:
    IXPrintOperation(std::function<IXPrintingView*()> view, QWidget* window);

    bool print(const QVariantMap& settings, bool showPrintPanel, PLError* error) override;

private:
    std::function<IXPrintingView*()> m_view;
    QPointer<QWidget> m_window;
};
