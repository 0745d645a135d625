#pragma once

#include <type_traits>

// The identity of an object used as an owner, sender or target key: the address of the
// most-derived object, so that a pointer to any of its bases names the same object.
template <typename T>
const void* PLIdentityOf(const T* object)
{
    if constexpr (std::is_polymorphic_v<T>) {
        return object ? dynamic_cast<const void*>(object) : nullptr;
    } else {
        return static_cast<const void*>(object);
    }
}
