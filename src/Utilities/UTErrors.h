#pragma once

#include "Platform/Core/PLError.h"

#include <QString>
#include <QVariantMap>

// The application's error objects: domain "Ideaflux", the failure reason in the user
// information under PLError::FailureReasonKey.
class UTErrors {
public:
    static const QString IXErrorDomain;

    // Code 1 with the reason; an empty reason is a programming error
    // (assertion "[reason length] > 0").
    static PLError errorWithFailureReason(const QString& reason);
    static PLError errorWithCode(int code, const QVariantMap& userInfo = {});
};
