#include "DocumentModel/IXIconsStorage.h"

namespace {
IXIconsStorage* installedStorage = nullptr;
}

IXIconsStorage::~IXIconsStorage()
{
    if (installedStorage == this) installedStorage = nullptr;
}

IXIconsStorage* IXIconsStorage::sharedStorage()
{
    return installedStorage;
}

void IXIconsStorage::install(IXIconsStorage* storage)
{
    installedStorage = storage;
}

QList<QImage> IXIconsStorage::iconsForNames(const QStringList& names)
{
    QList<QImage> icons;
    for (const QString& name : names) {
        const QImage icon = iconForName(name);
        if (!icon.isNull()) icons.append(icon);
    }
    return icons;
}
