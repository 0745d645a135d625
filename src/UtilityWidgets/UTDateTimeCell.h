#pragma once

#include "Utilities/UTDateTime.h"
#include "Utilities/UTDateTimeFormatter.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

#include <optional>

class QLineEdit;
class UTDateTimePickerDelegate;

// Shows and edits dates in an item view. The model holds a UTDateTime (QVariant::fromValue)
// or nothing; the cell shows it through its formatter and, while the user edits it, shows
// the shared UTDateTimePicker below the edited field. The text in the field stays the single
// source of the value: the picker's controls rewrite it, and ending the edit parses it. Text
// that does not parse leaves the model's value as it was.
//
// The cell owns its formatter. The picker delegate is not owned.
class UTDateTimeCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit UTDateTimeCell(QObject* parent = nullptr);
    ~UTDateTimeCell() override;

    UTDateTimeFormatter& dateFormatter() { return m_formatter; }
    const UTDateTimeFormatter& formatter() const { return m_formatter; }
    void setFormatter(const UTDateTimeFormatter& formatter) { m_formatter = formatter; }

    // The value of the edit in progress: read from the model when the edit begins, set by
    // the picker when the edit ends with text that parses.
    const std::optional<UTDateTime>& objectValue() const { return m_objectValue; }
    void setObjectValue(const std::optional<UTDateTime>& value);
    // The item being edited, for picker delegates that decide by column or row.
    QModelIndex editedIndex() const { return m_editedIndex; }

    // Told of the picker's edits when the item view is not a UTDateTimePickerDelegate.
    UTDateTimePickerDelegate* pickerDelegate() const { return m_pickerDelegate; }
    void setPickerDelegate(UTDateTimePickerDelegate* delegate) { m_pickerDelegate = delegate; }

    // Commits and closes the edit of editor, as pressing Return does.
    void endEditing(QWidget* editor);

    QString displayText(const QVariant& value, const QLocale& locale) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    // The model's form of a value.
    static QVariant variantFromDate(const std::optional<UTDateTime>& value);
    static std::optional<UTDateTime> dateFromVariant(const QVariant& value);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    UTDateTimeFormatter m_formatter;
    std::optional<UTDateTime> m_objectValue;
    UTDateTimePickerDelegate* m_pickerDelegate = nullptr;
    // Kept between creating the editor and filling it, when the picker attaches.
    mutable QPersistentModelIndex m_editedIndex;
    mutable QRect m_editedFrame;
    mutable QPointer<QWidget> m_attachedEditor;
};

Q_DECLARE_METATYPE(UTDateTime)
