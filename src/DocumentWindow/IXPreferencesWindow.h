#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QSpinBox;
class UTFontTextField;

// The preferences window: the panel layout, the template chooser, the update check, the
// autosave delay and the note editor's default font and colour, each control bound to its
// setting (a change is stored at once), and a button that restores the defaults. The font and
// colour go through the registered value transformers. One shared window, made on first use.
class IXPreferencesWindow : public QDialog {
    Q_OBJECT

public:
    explicit IXPreferencesWindow(QWidget* parent = nullptr);

    // Registers the value transformers the window uses when none are, makes the shared window
    // on first call, and centres and shows it.
    static IXPreferencesWindow* showPreferences();

    // Reads every control from the settings.
    void reloadControls();
    // Installs the default settings (the interface defaults last, so that they win) and
    // reloads the controls.
    void resetPreferences();
    // Stores the autosave delay from its field and applies it.
    void autosaveChanged();

    QButtonGroup* layoutModeGroup() const { return m_layoutMode; }
    QCheckBox* templateChooserBox() const { return m_showTemplateChooser; }
    QCheckBox* updateCheckBox() const { return m_checkForUpdate; }
    QSpinBox* autosaveField() const { return m_autosaveMinutes; }
    UTFontTextField* noteFontField() const { return m_noteFont; }
    QPushButton* noteColorButton() const { return m_noteColor; }
    QPushButton* resetButton() const { return m_reset; }
    // Stores a colour chosen for the note editor (the colour button runs a colour dialog).
    void setNoteColor(const QColor& color);

private:
    void showNoteColor();
    void chooseNoteColor();

    QButtonGroup* m_layoutMode = nullptr;
    QCheckBox* m_showTemplateChooser = nullptr;
    QCheckBox* m_checkForUpdate = nullptr;
    QSpinBox* m_autosaveMinutes = nullptr;
    UTFontTextField* m_noteFont = nullptr;
    QPushButton* m_noteColor = nullptr;
    QPushButton* m_reset = nullptr;
    bool m_loading = false;
};
