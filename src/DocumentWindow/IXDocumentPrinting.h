#pragma once

#include <QVariantMap>

class PLError;

// The printing view of a document window, as the document asks it to print.
class IXDocumentPrinting {
public:
    virtual ~IXDocumentPrinting();

    // Prints the document with the view's own print settings merged with the given ones,
    // showing the print panel first when asked. False when cancelled or failed (with the
    // error for a failure).
    virtual bool print(const QVariantMap& settings, bool showPrintPanel, PLError* error) = 0;
};
