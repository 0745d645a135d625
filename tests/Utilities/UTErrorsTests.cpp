#include "Platform/Core/PLAssert.h"
#include "Utilities/UTErrors.h"

#include <gtest/gtest.h>

TEST(UTErrors, FailureReasonErrors)
{
    const PLError error = UTErrors::errorWithFailureReason(QStringLiteral("failed to load contents.xml"));
    EXPECT_EQ(error.domain(), QStringLiteral("Ideaflux"));
    EXPECT_EQ(error.code(), 1);
    EXPECT_EQ(error.userInfo().value(PLError::FailureReasonKey).toString(), QStringLiteral("failed to load contents.xml"));
    EXPECT_EQ(error.localizedDescription(), QStringLiteral("failed to load contents.xml"));
    try {
        UTErrors::errorWithFailureReason(QString());
        FAIL() << "no assertion";
    } catch (const PLAssertionFailure& failure) {
        EXPECT_STREQ(failure.what(), "Invalid parameter not satisfying: [reason length] > 0");
    }
}

TEST(UTErrors, CodeErrorsKeepTheirInformation)
{
    const PLError plain = UTErrors::errorWithCode(7);
    EXPECT_EQ(plain.domain(), UTErrors::IXErrorDomain);
    EXPECT_EQ(plain.code(), 7);
    EXPECT_TRUE(plain.userInfo().isEmpty());
    const PLError detailed = UTErrors::errorWithCode(3, {{PLError::FailureReasonKey, QStringLiteral("disk full")}});
    EXPECT_EQ(detailed.failureReason(), QStringLiteral("disk full"));
}
