#include "DocumentModel/IXStyleSheetStyles.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleSheetNode.h"

#include <algorithm>

static_assert(IXStyleSheetStyles::MasterCount == IXStyleType_Last);

std::shared_ptr<IXStyleNode> IXStyleSheetStyles::adoptNodeStyle(const std::shared_ptr<IXStyleNode>& style)
{
    std::shared_ptr<IXStyleNode> replaced = m_nodeStyles.value(style->refId());
    m_nodeStyles.insert(style->refId(), style);
    noteChange();
    if (replaced && replaced != style) release(replaced);
    adopt(*style);
    return replaced != style ? replaced : nullptr;
}

void IXStyleSheetStyles::setMasters(const StyleList& masters)
{
    const StyleList old = m_masters;
    m_masters.clear();
    if (masters.size() == MasterCount && std::all_of(masters.begin(), masters.end(), [](const auto& m) { return bool(m); }))
        m_masters = masters;
    noteChange();
    for (const auto& master : old) {
        if (!m_masters.contains(master)) release(master);
    }
    for (const auto& master : std::as_const(m_masters)) adopt(*master);
}

void IXStyleSheetStyles::replaceMaster(int type, const std::shared_ptr<IXStyleNode>& style)
{
    const std::shared_ptr<IXStyleNode> old = m_masters[type];
    m_masters[type] = style;
    noteChange();
    if (old && old != style) release(old);
    adopt(*style);
}

void IXStyleSheetStyles::adoptSharedStyle(int type, const std::shared_ptr<IXStyleNode>& style)
{
    const std::shared_ptr<IXStyleNode> old = m_sharedStyles[std::size_t(type)];
    m_sharedStyles[std::size_t(type)] = style;
    noteChange();
    if (old && old != style) release(old);
    adopt(*style);
}

void IXStyleSheetStyles::setMasterSheet(IXStyleSheetNode* sheet)
{
    m_masterSheet = sheet;
    noteChange();
}

void IXStyleSheetStyles::releaseAll()
{
    const StyleList masters = m_masters;
    const StyleList styles = m_nodeStyles.values();
    const StyleList shared(m_sharedStyles.begin(), m_sharedStyles.end());
    m_masters.clear();
    m_nodeStyles.clear();
    m_sharedStyles = {};
    noteChange();
    for (const StyleList& list : {masters, styles, shared}) {
        for (const auto& style : list) release(style);
    }
}

void IXStyleSheetStyles::noteValueChange(const IXStyleNode& style)
{
    ++s_changeCount;
    // Kept look-ups read the values of masters and of the document's style (by its ref in
    // any sheet); a style outside a document may join one later, which moves the count then.
    const QString& ref = style.refId();
    const IXStyleSheetNode* sheet = style.styleSheet();
    const IXDocumentNode* document = sheet ? sheet->documentNode() : nullptr;
    if (ref.isEmpty() || !document || ref == document->existingUniqueId()) ++s_lookupChangeCount;
}

void IXStyleSheetStyles::adopt(IXStyleNode& style)
{
    // Joining a document sends notices, whose observers may read the style: it is in the
    // sheet's lists first.
    style.setParentNode(&m_sheet);
}

void IXStyleSheetStyles::release(const std::shared_ptr<IXStyleNode>& style)
{
    if (style && style->parentNode() == &m_sheet) style->setParentNode(nullptr);
}
