#pragma once

#include "Inspectors/IXMixedValue.h"

#include <QString>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;

// Shows what a read over the selected objects found in a control, so that inspectors need no
// glue of their own for the markers: a line edit shows the value, or is empty with the
// marker's placeholder ("No Selection", "Multiple Values", "Not Applicable"); a check box is
// checked, unchecked or partly checked for differing values; a spin box shows the marker as
// its special-value text. Controls are disabled with no selection and where the attribute
// does not apply. Signals are blocked while a control is filled, so filling never writes back.
class IXBindings {
public:
    static QString placeholder(IXMixedState state);

    static void show(QLineEdit* field, const IXMixedValue<QString>& value);
    static void show(QCheckBox* box, const IXMixedValue<bool>& value);
    static void show(QDoubleSpinBox* box, const IXMixedValue<double>& value);
};
