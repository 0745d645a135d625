#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

class IXNode;

// Makes the node for an element of "contents.xml" by the element's name ("branch",
// "picture", "comment", "note", "connection", "reference", "link"), so that a reader (the
// document's, a branch's) meets the node classes only through their elements. The made node
// is empty and detached; the reader then calls its initWithParent.
//
// Each node class with an element of its own is listed once in the built-in table of
// IXNodeElementRegistry.cpp (a table rather than self-registration, which a static library
// would drop at link time). Names without a factory are skipped by the readers. Main thread
// only, like the rest of the model.
class IXNodeElementRegistry {
public:
    using Factory = std::shared_ptr<IXNode> (*)();

    // A new node for the element name, or null when no class reads that element.
    static std::shared_ptr<IXNode> makeNode(QByteArrayView elementName);
    static bool hasFactory(QByteArrayView elementName);
    // Installs (or, with null, removes) the factory of an element name and returns the one it
    // replaces, so that tests can put their own nodes in place for a while.
    static Factory setFactory(QByteArrayView elementName, Factory factory);
};
