#pragma once

#include "Platform/Core/PLError.h"

#include <QString>

// Errors of the application shell: an application error whose failure reason is the text for
// the user, with the lower layer's text (a file system message) kept underneath.
class IXShellErrors {
public:
    static PLError error(const QString& reason, const QString& underlying = QString());
    // The same, keeping the whole lower error's description underneath.
    static PLError error(const QString& reason, const PLError& underlying);
};
