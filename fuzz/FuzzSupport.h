#pragma once

// Set-up shared by the fuzzers.

#include "Platform/System/PLResources.h"

#include <QDir>
#include <QFileInfo>

namespace FuzzSupport {

// Reads resources (schemas, defaults) from the source tree: $IX_SOURCE_DIR, or the tree this
// file was built from.
inline void useSourceResources()
{
    const QByteArray source = qgetenv("IX_SOURCE_DIR");
    const QString tree = source.isEmpty() ? QStringLiteral(IX_SOURCE_DIR)
                                          : QString::fromUtf8(source);
    PLResources::setDirectory(tree + QStringLiteral("/resources"));
}

}  // namespace FuzzSupport
