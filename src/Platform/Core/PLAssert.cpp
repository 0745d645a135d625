#include "Platform/Core/PLAssert.h"

namespace {
std::string messageFor(const std::string& condition)
{
    return "Invalid parameter not satisfying: " + condition;
}
}

PLAssertionFailure::PLAssertionFailure(const std::string& condition)
    : std::logic_error(messageFor(condition)), m_condition(condition)
{
}

void PLAssertionFailed(const char* condition)
{
    throw PLAssertionFailure(condition);
}
