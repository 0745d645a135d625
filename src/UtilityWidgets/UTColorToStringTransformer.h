#pragma once

#include "Platform/Core/PLValueTransformer.h"

// Shows a colour stored in its text form as a PLColor, and stores a picked colour back as
// text. Registered as "UTColorToStringTransformer" by registerTransformers().
class UTColorToStringTransformer : public PLValueTransformer {
public:
    static const QString Name;

    // Colour text (QString) → PLColor; no text gives black.
    QVariant transformedValue(const QVariant& value) const override;
    bool allowsReverseTransformation() const override { return true; }
    // PLColor → colour text.
    QVariant reverseTransformedValue(const QVariant& value) const override;
};
