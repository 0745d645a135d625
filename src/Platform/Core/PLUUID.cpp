#include "Platform/Core/PLUUID.h"

#include <QUuid>

QString PLUUID::newIdString()
{
    return QUuid::createUuid().toString(QUuid::Id128).toUpper();
}
