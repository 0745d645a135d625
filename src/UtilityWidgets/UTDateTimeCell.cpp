#include "UtilityWidgets/UTDateTimeCell.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "UtilityWidgets/UTDateTimePicker.h"
#include "UtilityWidgets/UTDateTimePickerDelegate.h"
#include "UtilityWidgets/UTDateTimePickerWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>

UTDateTimeCell::UTDateTimeCell(QObject* parent) : QStyledItemDelegate(parent) {}

UTDateTimeCell::~UTDateTimeCell()
{
    UTDateTimePicker* picker = UTDateTimePicker::sharedPicker();
    if (picker->currentCell() == this) picker->endEditing();
}

void UTDateTimeCell::setObjectValue(const std::optional<UTDateTime>& value)
{
    m_objectValue = value;
}

QVariant UTDateTimeCell::variantFromDate(const std::optional<UTDateTime>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

std::optional<UTDateTime> UTDateTimeCell::dateFromVariant(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<UTDateTime>()) return value.value<UTDateTime>();
    return std::nullopt;
}

void UTDateTimeCell::endEditing(QWidget* editor)
{
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QString UTDateTimeCell::displayText(const QVariant& value, const QLocale&) const
try {
    return m_formatter.stringForObjectValue(dateFromVariant(value));
} catch (...) {
    PLExceptionBoundary::caught();
    return {};
}

QWidget* UTDateTimeCell::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
try {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    m_editedIndex = index;
    m_editedFrame = option.rect;
    return editor;
} catch (...) {
    PLExceptionBoundary::caught();
    return nullptr;
}

void UTDateTimeCell::setEditorData(QWidget* editor, const QModelIndex& index) const
try {
    auto* field = qobject_cast<QLineEdit*>(editor);
    if (!field) return;
    auto* self = const_cast<UTDateTimeCell*>(this);
    UTDateTimePicker* picker = UTDateTimePicker::sharedPicker();
    if (m_attachedEditor != editor) {
        // Another edit still attached (a second view) ends first.
        picker->endEditing();
        self->m_objectValue = dateFromVariant(index.data(Qt::EditRole));
        m_editedIndex = index;
        QWidget* viewport = editor->parentWidget();
        auto* view = viewport ? qobject_cast<QAbstractItemView*>(viewport->parentWidget()) : nullptr;
        UTDateTimePickerDelegate* delegate = dynamic_cast<UTDateTimePickerDelegate*>(view);
        if (!delegate) delegate = m_pickerDelegate;
        m_attachedEditor = editor;
        field->setText(m_formatter.editingStringForObjectValue(m_objectValue));
        picker->editCell(self, m_editedFrame, viewport ? viewport : editor, field, delegate);
        // The delegate may have filled the value in.
        field->setText(m_formatter.editingStringForObjectValue(m_objectValue));
        picker->updateControls();
        return;
    }
    field->setText(m_formatter.editingStringForObjectValue(m_objectValue));
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTDateTimeCell::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
try {
    auto* field = qobject_cast<QLineEdit*>(editor);
    if (!field) return;
    UTDateTimePicker* picker = UTDateTimePicker::sharedPicker();
    if (picker->currentEditor() == field) {
        // The editor stays attached to this cell until it is destroyed, so that the view
        // refilling it from the stored value does not start a second edit.
        picker->endEditing();
        // Text that did not parse leaves the value unchanged.
        model->setData(index, variantFromDate(m_objectValue), Qt::EditRole);
        return;
    }
    std::optional<UTDateTime> value;
    if (m_formatter.getObjectValue(&value, field->text())) model->setData(index, variantFromDate(value), Qt::EditRole);
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTDateTimeCell::destroyEditor(QWidget* editor, const QModelIndex& index) const
try {
    UTDateTimePicker* picker = UTDateTimePicker::sharedPicker();
    if (picker->currentEditor() == editor) picker->endEditing();
    if (m_attachedEditor == editor) m_attachedEditor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
} catch (...) {
    PLExceptionBoundary::caught();
}

bool UTDateTimeCell::eventFilter(QObject* object, QEvent* event)
try {
    // A click on the picker must not end the edit it serves.
    if (event->type() == QEvent::FocusOut) {
        UTDateTimePicker* picker = UTDateTimePicker::sharedPicker();
        if (picker->currentEditor() == object && QApplication::activeWindow() == picker->pickerWindow()) return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
