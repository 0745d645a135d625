#include "UtilityWidgets/UTFontAttributesToStringTransformer.h"

#include "UtilityWidgets/UTColorToStringTransformer.h"

#include <QFontDatabase>
#include <QFontInfo>

const QString UTFontAttributesToStringTransformer::Name = QStringLiteral("UTFontAttributesToStringTransformer");

QString UTFontAttributesToStringTransformer::displayName(const QFont& font)
{
    QString style = font.styleName();
    if (style.isEmpty()) style = QFontDatabase::styleString(font);
    static const QStringList plain = {QStringLiteral("Regular"), QStringLiteral("Normal"), QStringLiteral("Book"), QStringLiteral("Roman")};
    if (style.isEmpty() || plain.contains(style)) return font.family();
    return font.family() + QLatin1Char(' ') + style;
}

QVariant UTFontAttributesToStringTransformer::transformedValue(const QVariant& value) const
{
    if (value.metaType() != QMetaType::fromType<QFont>()) return QString();
    const QFont font = value.value<QFont>();
    return QStringLiteral("%1 - %2").arg(displayName(font), QString::number(font.pointSizeF()));
}

void UTFontAttributesToStringTransformer::registerTransformers()
{
    setValueTransformer(std::make_shared<UTFontAttributesToStringTransformer>(), Name);
    setValueTransformer(std::make_shared<UTColorToStringTransformer>(), UTColorToStringTransformer::Name);
}
