#pragma once

#include "Platform/Core/PLValueTransformer.h"

#include <QFont>

// Shows a font setting as "<display name> - <size>", such as "Liberation Sans Bold - 12".
// One way only. Registered as "UTFontAttributesToStringTransformer" by registerTransformers().
class UTFontAttributesToStringTransformer : public PLValueTransformer {
public:
    static const QString Name;

    // QFont → QString; anything else gives an empty text.
    QVariant transformedValue(const QVariant& value) const override;

    // The family followed by the style, unless the style is the plain one.
    static QString displayName(const QFont& font);

    // Registers this transformer and UTColorToStringTransformer under their names.
    static void registerTransformers();
};
