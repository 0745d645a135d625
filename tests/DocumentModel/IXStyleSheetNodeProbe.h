#pragma once

#include "DocumentModel/IXStyleSheetNode.h"

// Shows what a style sheet keeps of its look-ups, so that tests can tell a read answered from
// there from one that went along the chain. A friend of the sheet; tests only.
class IXStyleSheetNodeProbe {
public:
    static bool keeps(const IXStyleSheetNode& sheet, IXStyleKey key, int type)
    {
        return sheet.resolvedBefore(int(key), type) != nullptr;
    }
    static bool keeps(const IXStyleSheetNode& sheet, const QString& name, int type)
    {
        return sheet.m_resolvedAt == IXStyleSheetStyles::lookupChangeCount()
            && sheet.m_resolved[std::size_t(IXStyleSheetNode::resolvedType(type))].contains(name);
    }
};
