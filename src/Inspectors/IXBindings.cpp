#include "Inspectors/IXBindings.h"

#include "Platform/System/PLLocalizedStrings.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

bool isEnabled(IXMixedState state)
{
    return state == IXMixedState::Value || state == IXMixedState::MultipleValues;
}

}  // namespace

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
