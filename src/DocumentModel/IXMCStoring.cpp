#include "DocumentModel/IXMCStoring.h"

#include <QStringList>

namespace {
IXMCStoring* installedStorage = nullptr;
}

IXMCStoring::~IXMCStoring()
{
    if (installedStorage == this) installedStorage = nullptr;
}

IXMCStoring* IXMCStoring::sharedInstance()
{
    return installedStorage;
}

void IXMCStoring::install(IXMCStoring* storage)
{
    installedStorage = storage;
}

std::optional<int> IXMCStoring::referenceTypeForMediaType(const QString& mediaType)
{
    static const QStringList types {QStringLiteral("TEXT"), QStringLiteral("IMAGE"), QStringLiteral("VIDEO"),
                                    QStringLiteral("SOUND"), QStringLiteral("FLASH")};
    const qsizetype index = types.indexOf(mediaType);
    return index < 0 ? std::nullopt : std::optional<int>(5 + int(index));
}
