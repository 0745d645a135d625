#pragma once

#include <QFont>
#include <QFontDialog>
#include <QLineEdit>
#include <QPointer>

// A field that shows a font setting and edits it through the font dialog. The setting is the
// "value" property: every font the user picks in the dialog is stored and announced through
// valueChanged, which is what bindings and settings panes listen to. The field shows the
// setting as text (UTFontAttributesToStringTransformer); it is not typed into.
//
// The field owns its font dialog, made on first use.
class UTFontTextField : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QFont value READ selectedFontAttributes WRITE setSelectedFontAttributes NOTIFY valueChanged)

public:
    explicit UTFontTextField(QWidget* parent = nullptr);

    QFont selectedFontAttributes() const { return m_selectedFontAttributes; }
    void setSelectedFontAttributes(const QFont& font);

    // The font the dialog starts from: the setting, or the application's font without one.
    QFont fieldFont() const;
    // Brings the field's window to the front, focuses the field and shows the font dialog
    // with the field's font.
    void startFontEditing();
    // The dialog picked font: it becomes the setting.
    void changeFont(const QFont& font);

    QFontDialog* fontDialog() const { return m_fontDialog; }

signals:
    void valueChanged(const QFont& value);

private:
    QFont m_selectedFontAttributes;
    bool m_hasSelection = false;
    QPointer<QFontDialog> m_fontDialog;
};
