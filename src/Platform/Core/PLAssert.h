#pragma once

#include <stdexcept>
#include <string>

// A missing required argument is a programming error. It stops the operation with an
// exception whose text names the failed condition, so that tests can observe it and the
// application can log it instead of corrupting a document.
class PLAssertionFailure : public std::logic_error {
public:
    explicit PLAssertionFailure(const std::string& condition);
    const std::string& condition() const { return m_condition; }

private:
    std::string m_condition;
};

[[noreturn]] void PLAssertionFailed(const char* condition);

#define PL_ASSERT(condition)                       \
    do {                                           \
        if (!(condition)) PLAssertionFailed(#condition); \
    } while (false)

// Asserts a named parameter is given, reporting the parameter's name as the condition.
#define PL_ASSERT_PARAM(pointer, name)             \
    do {                                           \
        if (!(pointer)) PLAssertionFailed(name);   \
    } while (false)
