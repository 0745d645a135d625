#include "DocumentModel/IXNodeElementRegistry.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"

#include <QHash>

namespace {
using Factories = QHash<QByteArray, IXNodeElementRegistry::Factory>;

template <typename Node>
[[maybe_unused]] std::shared_ptr<IXNode> make()
{
    return std::make_shared<Node>();
}

Factories& factories()
{
    // Each node class that reads an element of its own adds a line {"name", &make<Class>}.
    static Factories table = Factories{
        {"branch", &make<IXBranchNode>},
        {"reference", &make<IXReferenceNode>},
        {"link", &make<IXReferenceNode>},
        {"picture", &make<IXPictureNode>},
        {"comment", &make<IXCommentNode>},
        {"note", &make<IXCommentNode>},
        {"connection", &make<IXConnectionNode>},
    };
    return table;
}
}

std::shared_ptr<IXNode> IXNodeElementRegistry::makeNode(QByteArrayView elementName)
{
    const Factory factory = factories().value(elementName.toByteArray());
    return factory ? factory() : nullptr;
}

bool IXNodeElementRegistry::hasFactory(QByteArrayView elementName)
{
    return factories().contains(elementName.toByteArray());
}

IXNodeElementRegistry::Factory IXNodeElementRegistry::setFactory(QByteArrayView elementName, Factory factory)
{
    Factories& table = factories();
    const QByteArray key = elementName.toByteArray();
    const Factory previous = table.value(key);
    if (factory) {
        table.insert(key, factory);
    } else {
        table.remove(key);
    }
    return previous;
}
