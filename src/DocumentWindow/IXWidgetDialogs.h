#pragma once

#include "DocumentWindow/IXDialogs.h"

// The dialogs on screen: QMessageBox for alerts and errors, QFileDialog for file panels,
// QPrintDialog for printing.
class IXWidgetDialogs : public IXDialogs {
public:
    int runAlert(const Alert& alert, QWidget* window) override;
    std::optional<QStringList> runOpenPanel(const OpenPanel& panel, QWidget* window) override;
    std::optional<QString> runSavePanel(const SavePanel& panel, QWidget* window) override;
    void presentError(const PLError& error, QWidget* window) override;
    bool runPrintPanel(QPrinter& printer, QWidget* window) override;

    // The text shown for an error: the description first, then the lower layer's text when
    // it differs (the details a user needs to act, such as "Permission denied").
    static QString errorText(const PLError& error);
};
