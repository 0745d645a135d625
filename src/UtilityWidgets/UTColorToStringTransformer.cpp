#include "UtilityWidgets/UTColorToStringTransformer.h"

#include "Platform/Drawing/PLColor.h"
#include "Utilities/UTConversions.h"

const QString UTColorToStringTransformer::Name = QStringLiteral("UTColorToStringTransformer");

QVariant UTColorToStringTransformer::transformedValue(const QVariant& value) const
{
    if (value.isNull()) return QVariant::fromValue(PLColor::black());
    return QVariant::fromValue(UTConversions::colorFromString(value.toString()));
}

QVariant UTColorToStringTransformer::reverseTransformedValue(const QVariant& value) const
{
    return UTConversions::stringFromColor(value.value<PLColor>());
}
