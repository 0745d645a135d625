#pragma once

#include <QString>
#include <QVariant>

#include <memory>

// Turns a stored value into the value a control shows, and back where that is allowed;
// preference panes look transformers up by name. Registered transformers live for the
// whole process.
class PLValueTransformer {
public:
    virtual ~PLValueTransformer() = default;

    virtual QVariant transformedValue(const QVariant& value) const = 0;
    virtual bool allowsReverseTransformation() const { return false; }
    // The value itself when reverse transformation is not allowed.
    virtual QVariant reverseTransformedValue(const QVariant& value) const { return value; }

    // Replaces any transformer of the name; a null transformer removes it.
    static void setValueTransformer(std::shared_ptr<PLValueTransformer> transformer, const QString& name);
    // The transformer of the name, or null.
    static std::shared_ptr<PLValueTransformer> valueTransformerForName(const QString& name);
};
