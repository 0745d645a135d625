#include "DocumentViews/IXActionItem.h"

#include <QAction>
#include <QPointer>
#include <QVariant>

namespace {
constexpr char ActionProperty[] = "IXAction";
constexpr char TargetProperty[] = "IXActionTarget";
}

QByteArray IXActionItem::actionOf(const QAction* item)
{
    return item ? item->property(ActionProperty).toByteArray() : QByteArray();
}

void IXActionItem::setAction(QAction* item, const QByteArray& action)
{
    item->setProperty(ActionProperty, action);
}

QObject* IXActionItem::targetOf(const QAction* item)
{
    return item ? item->property(TargetProperty).value<QPointer<QObject>>().data() : nullptr;
}

void IXActionItem::setTarget(QAction* item, QObject* target)
{
    item->setProperty(TargetProperty, QVariant::fromValue(QPointer<QObject>(target)));
}
