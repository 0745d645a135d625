#pragma once

#include <QPointer>
#include <QWidget>

// The borderless window of the date picker. It never takes the keyboard: the text field
// being edited keeps the focus while the picker is shown, and its controls take no focus.
// It is a tool window whose transient parent is the edited field's window (so that window
// systems that place windows themselves still put it next to the field); it is not owned
// by that window.
class UTDateTimePickerWindow : public QWidget {
    Q_OBJECT

public:
    UTDateTimePickerWindow();

    // Shows the window above parent, which becomes its transient parent.
    void showAbove(QWidget* parent);

protected:
    // A window system that activates the window anyway gets the field's window back.
    void changeEvent(QEvent* event) override;

private:
    QPointer<QWidget> m_parentWindow;
};
