#pragma once

#include "Inspectors/IXMixedValue.h"
#include "Platform/Drawing/PLColor.h"

#include <QString>

#include <functional>
#include <vector>

class IXColorWell;
class PLUndoManager;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

// Binds controls to an attribute read and written over the selected objects, so that an
// inspector states each binding once (a getter that reads the mixed value, a setter that
// writes one value to every object) and needs no glue of its own:
//  - refresh() shows every getter's value in its control, or the marker: a line edit is empty
//    with the marker's placeholder ("No Selection", "Multiple Values", "Not Applicable"); a
//    check box is partly checked for differing values; a spin box and a pop-up show the
//    marker as their empty text; a colour well draws its own marks. Controls are disabled
//    with no selection and where the attribute does not apply. Signals are blocked while a
//    control is filled, so showing a value never writes it back.
//  - a user's change runs the setter inside one undo group of the document's undo manager,
//    so that one edit over any number of objects is one undo step restoring them all.
// A line edit writes when editing ends and only when the user changed its text, so leaving
// a field that shows "Multiple Values" keeps the differing values.
class IXBindings {
public:
    template <typename T> using Getter = std::function<IXMixedValue<T>()>;
    template <typename T> using Setter = std::function<void(const T&)>;
    using UndoManagerLookup = std::function<PLUndoManager*()>;

    explicit IXBindings(UndoManagerLookup undoManager = {});
    // Bound controls call back into the bindings.
    IXBindings(const IXBindings&) = delete;
    IXBindings& operator=(const IXBindings&) = delete;

    void bind(QLineEdit* field, Getter<QString> getter, Setter<QString> setter);
    void bind(QCheckBox* box, Getter<bool> getter, Setter<bool> setter);
    void bind(QDoubleSpinBox* box, Getter<double> getter, Setter<double> setter);
    // The items' data are the values.
    void bind(QComboBox* popUp, Getter<int> getter, Setter<int> setter);
    void bind(IXColorWell* well, Getter<PLColor> getter, Setter<PLColor> setter);
    // Shows every binding's current value.
    void refresh() const;
    // Runs the change as one undo step (nested in any step already open).
    void write(const std::function<void()>& change) const;

    static QString placeholder(IXMixedState state);
    static void show(QLineEdit* field, const IXMixedValue<QString>& value);
    static void show(QCheckBox* box, const IXMixedValue<bool>& value);
    static void show(QDoubleSpinBox* box, const IXMixedValue<double>& value);
    static void show(QComboBox* popUp, const IXMixedValue<int>& value);
    static void show(IXColorWell* well, const IXMixedValue<PLColor>& value);

private:
    UndoManagerLookup m_undoManager;
    std::vector<std::function<void()>> m_refreshers;
};
