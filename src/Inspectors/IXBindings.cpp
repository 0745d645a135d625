#include "Inspectors/IXBindings.h"

#include "Inspectors/IXColorWell.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

bool isEnabled(IXMixedState state)
{
    return state == IXMixedState::Value || state == IXMixedState::MultipleValues;
}

}  // namespace

IXBindings::IXBindings(UndoManagerLookup undoManager)
    : m_undoManager(std::move(undoManager))
{
}

void IXBindings::bind(QLineEdit* field, Getter<QString> getter, Setter<QString> setter)
{
    QObject::connect(field, &QLineEdit::editingFinished, field, [this, field, setter] {
        if (!field->isModified()) return;
        field->setModified(false);
        write([&] { setter(field->text()); });
    });
    m_refreshers.push_back([field, getter = std::move(getter)] { show(field, getter()); });
}

void IXBindings::bind(QCheckBox* box, Getter<bool> getter, Setter<bool> setter)
{
    // From differing values a click turns the box on (Qt's cycle goes on to Checked).
    QObject::connect(box, &QCheckBox::clicked, box,
                     [this, box, setter] { write([&] { setter(box->checkState() != Qt::Unchecked); }); });
    m_refreshers.push_back([box, getter = std::move(getter)] { show(box, getter()); });
}

void IXBindings::bind(QDoubleSpinBox* box, Getter<double> getter, Setter<double> setter)
{
    // One write when the user is done typing, not one per keystroke.
    box->setKeyboardTracking(false);
    QObject::connect(box, &QDoubleSpinBox::valueChanged, box,
                     [this, setter](double value) { write([&] { setter(value); }); });
    m_refreshers.push_back([box, getter = std::move(getter)] { show(box, getter()); });
}

void IXBindings::bind(QComboBox* popUp, Getter<int> getter, Setter<int> setter)
{
    QObject::connect(popUp, &QComboBox::activated, popUp, [this, popUp, setter](int index) {
        if (index >= 0) write([&] { setter(popUp->itemData(index).toInt()); });
    });
    m_refreshers.push_back([popUp, getter = std::move(getter)] { show(popUp, getter()); });
}

void IXBindings::bind(IXColorWell* well, Getter<PLColor> getter, Setter<PLColor> setter)
{
    QObject::connect(well, &IXColorWell::colorChosen, well,
                     [this, setter](const PLColor& color) { write([&] { setter(color); }); });
    m_refreshers.push_back([well, getter = std::move(getter)] { show(well, getter()); });
}

void IXBindings::refresh() const
{
    for (const auto& refresher : m_refreshers) refresher();
}

void IXBindings::write(const std::function<void()>& change) const
{
    PLUndoManager* undo = m_undoManager ? m_undoManager() : nullptr;
    if (undo) undo->beginUndoGrouping();
    change();
    if (undo) undo->endUndoGrouping();
}

QString IXBindings::placeholder(IXMixedState state)
{
    switch (state) {
    case IXMixedState::NoSelection:
        return PLLocalizedStrings::string(QStringLiteral("No Selection"));
    case IXMixedState::MultipleValues:
        return PLLocalizedStrings::string(QStringLiteral("Multiple Values"));
    case IXMixedState::NotApplicable:
        return PLLocalizedStrings::string(QStringLiteral("Not Applicable"));
    case IXMixedState::Value:
        break;
    }
    return {};
}

void IXBindings::show(QLineEdit* field, const IXMixedValue<QString>& value)
{
    const QSignalBlocker blocker(field);
    field->setText(value.hasValue() ? value.value() : QString());
    field->setPlaceholderText(placeholder(value.state()));
    field->setEnabled(isEnabled(value.state()));
}

void IXBindings::show(QCheckBox* box, const IXMixedValue<bool>& value)
{
    const QSignalBlocker blocker(box);
    box->setTristate(value.isMultipleValues());
    box->setCheckState(value.isMultipleValues() ? Qt::PartiallyChecked
                                                : (value.valueOr(false) ? Qt::Checked : Qt::Unchecked));
    box->setEnabled(isEnabled(value.state()));
}

void IXBindings::show(QDoubleSpinBox* box, const IXMixedValue<double>& value)
{
    const QSignalBlocker blocker(box);
    // The special-value text stands at the minimum.
    box->setSpecialValueText(value.hasValue() ? QString() : placeholder(value.state()));
    box->setValue(value.hasValue() ? value.value() : box->minimum());
    box->setEnabled(isEnabled(value.state()));
}

void IXBindings::show(QComboBox* popUp, const IXMixedValue<int>& value)
{
    const QSignalBlocker blocker(popUp);
    const int index = value.hasValue() ? popUp->findData(value.value()) : -1;
    // Without a current item the pop-up shows its placeholder: the marker, or nothing for a
    // value none of its items stands for.
    popUp->setPlaceholderText(value.hasValue() ? QString() : placeholder(value.state()));
    popUp->setCurrentIndex(index);
    popUp->setEnabled(isEnabled(value.state()));
}

void IXBindings::show(IXColorWell* well, const IXMixedValue<PLColor>& value)
{
    const QSignalBlocker blocker(well);
    well->setMixedColor(value);
}
