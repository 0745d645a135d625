#pragma once

#include "Inspectors/IXMixedValue.h"

#include <QString>

#include <initializer_list>
#include <utility>

class IXColorWell;
class QDoubleSpinBox;
class QFormLayout;
class QWidget;

// The building blocks the inspectors lay their sections out with, so that every inspector
// looks alike: a section is a named widget with a form of labelled rows.
class IXInspectorForms {
public:
    // A section named for the tests, holding a form; the form is answered through *form.
    static QWidget* section(const QString& name, QFormLayout** form);
    // Colour wells in a row, each with its tool tip.
    static QWidget* wellsRow(std::initializer_list<std::pair<IXColorWell*, QString>> wells);
    // A spin box whose minimum lies one step below the range, for the markers' text.
    static QDoubleSpinBox* spinBox(double minimum, double maximum, double step, int decimals = 1);
    static QString localized(const char* text);
    // A float read shown by a spin box.
    static IXMixedValue<double> toDouble(const IXMixedValue<float>& value);
    // The marker of a read, carried over to a value of another type.
    template <typename To, typename From> static IXMixedValue<To> marker(const IXMixedValue<From>& value)
    {
        switch (value.state()) {
        case IXMixedState::NoSelection:
            return IXMixedValue<To>::noSelection();
        case IXMixedState::MultipleValues:
            return IXMixedValue<To>::multipleValues();
        case IXMixedState::Value:
        case IXMixedState::NotApplicable:
            break;
        }
        return IXMixedValue<To>::notApplicable();
    }
};
