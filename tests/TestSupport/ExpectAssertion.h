#pragma once

#include "Platform/Core/PLAssert.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Expects the call to stop with the assertion naming the condition.
inline void expectAssertion(const std::string& condition, const std::function<void()>& call)
{
    try {
        call();
        ADD_FAILURE() << "no assertion for " << condition;
    } catch (const PLAssertionFailure& failure) {
        EXPECT_EQ(failure.condition(), condition);
    }
}
