#include "DocumentWindow/IXGridImageViewDataSource.h"

#include <QByteArray>

IXGridImageViewDataSource::~IXGridImageViewDataSource() = default;

QMenu* IXGridImageViewDataSource::menuForIndex(IXGridImageView*, int)
{
    return nullptr;
}

QStringList IXGridImageViewDataSource::dragTypesForIndexes(IXGridImageView*, const QList<int>&)
{
    return {};
}

QByteArray IXGridImageViewDataSource::provideDataForType(IXGridImageView*, const QString&)
{
    return {};
}

Qt::DropAction IXGridImageViewDataSource::validateDrop(IXGridImageView*, const QMimeData*, int)
{
    return Qt::IgnoreAction;
}

bool IXGridImageViewDataSource::acceptDrop(IXGridImageView*, const QMimeData*, int)
{
    return false;
}
