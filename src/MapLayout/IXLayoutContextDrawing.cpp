#include "MapLayout/IXLayoutContext.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"

void IXLayoutContext::drawBackgroundInRect(PLGraphicsContext& graphics, const PLRect& rect)
{
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    graphics.saveGraphicsState();
    graphics.setColor(styleForReading(m_documentNode.get())->documentPageColor());
    graphics.fillRect(rect);
    graphics.restoreGraphicsState();
}
