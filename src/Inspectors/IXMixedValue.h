#pragma once

#include <cmath>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

// What a read over many objects found: their common value or one of the markers.
enum class IXMixedState { Value, NoSelection, MultipleValues, NotApplicable };

// One attribute read over many selected objects: the common value, or one of three markers
// that controls show as placeholders: nothing selected, the objects differ, or the attribute
// does not apply to them.
template <typename T> class IXMixedValue {
public:
    using State = IXMixedState;

    IXMixedValue(T value)
        : m_state(State::Value)
        , m_value(std::move(value))
    {
    }  // NOLINT: a value reads as itself
    static IXMixedValue noSelection() { return IXMixedValue(State::NoSelection); }
    static IXMixedValue multipleValues() { return IXMixedValue(State::MultipleValues); }
    static IXMixedValue notApplicable() { return IXMixedValue(State::NotApplicable); }

    State state() const { return m_state; }
    bool hasValue() const { return m_state == State::Value; }
    bool isNoSelection() const { return m_state == State::NoSelection; }
    bool isMultipleValues() const { return m_state == State::MultipleValues; }
    bool isNotApplicable() const { return m_state == State::NotApplicable; }
    // The common value; a default value under a marker.
    const T& value() const { return m_value; }
    T valueOr(T fallback) const { return hasValue() ? m_value : std::move(fallback); }

    bool operator==(const IXMixedValue& other) const
    {
        return m_state == other.m_state && (m_state != State::Value || m_value == other.m_value);
    }

private:
    explicit IXMixedValue(State state)
        : m_state(state)
        , m_value()
    {
    }

    State m_state;
    T m_value;
};

// Reads the attribute of every object in order and answers the common value: no selection for
// no object, multiple values at the first object that differs from the one before it (the rest
// are not asked). Values compare with ==, so a float NaN never equals and two NaNs read as
// multiple values. Objects are pointers (plain or shared); a null object counts as one on
// which the attribute does not apply.
template <typename Objects, typename Getter>
auto IXMixedAttribute(const Objects& objects, Getter&& getter)
    -> IXMixedValue<std::decay_t<decltype(getter(**std::begin(objects)))>>
{
    using Value = std::decay_t<decltype(getter(**std::begin(objects)))>;
    std::optional<Value> common;
    for (const auto& object : objects) {
        if (!object) return IXMixedValue<Value>::notApplicable();
        Value value = getter(*object);
        if (common && !(value == *common)) return IXMixedValue<Value>::multipleValues();
        common = std::move(value);
    }
    if (!common) return IXMixedValue<Value>::noSelection();
    return IXMixedValue<Value>(std::move(*common));
}

// Gives every object in order the value through the setter. Undo steps and change notices
// come from the objects' own setters; all of them fall in the event loop's current undo step.
template <typename Objects, typename Setter, typename Value>
void IXSetAttribute(const Objects& objects, Setter&& setter, const Value& value)
{
    for (const auto& object : objects)
        if (object) setter(*object, value);
}
