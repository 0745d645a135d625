#include "Platform/Core/PLValueTransformer.h"

#include <QHash>

namespace {

QHash<QString, std::shared_ptr<PLValueTransformer>>& registry()
{
    static QHash<QString, std::shared_ptr<PLValueTransformer>> transformers;
    return transformers;
}

} // namespace

void PLValueTransformer::setValueTransformer(std::shared_ptr<PLValueTransformer> transformer, const QString& name)
{
    if (transformer)
        registry().insert(name, std::move(transformer));
    else
        registry().remove(name);
}

std::shared_ptr<PLValueTransformer> PLValueTransformer::valueTransformerForName(const QString& name)
{
    return registry().value(name);
}
