#pragma once

#include <QFont>

class QFontDialog;

// The application's one font panel: a non-modal font dialog without buttons, made on first
// use and deleted with the application. Each font the user picks in it is sent as
// "changeFont:" (sender: the dialog) along the responder chain, to the document view that is
// its window's first responder. Main thread only.
class IXFontPanel {
public:
    // The panel, or null while it was never shown (create: make it now).
    static QFontDialog* sharedPanel(bool create = false);
    // Shows the panel and brings it to the front.
    static void orderFront();
    static bool isVisible();
    // Shows a font without sending it on.
    static void setPanelFont(const QFont& font);
};
