#pragma once

#include <QWidget>

// The borderless window of the date picker. It never takes the keyboard: the text field
// being edited keeps the focus while the picker is shown, and its controls take no focus.
// It has the window type of a tool tip (never activated, placed where the program puts it)
// with the edited field's window as transient parent, so that window systems that place
// windows themselves still put it next to the field. It is not owned by that window.
class UTDateTimePickerWindow : public QWidget {
    Q_OBJECT

public:
    UTDateTimePickerWindow();

    // Shows the window above parent's window, which becomes its transient parent.
    void showAbove(QWidget* parent);
};
