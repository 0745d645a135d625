#include "MapLayout/IXDocumentOnlyController.h"

#include "DocumentModel/IXDocumentNode.h"

#include <utility>

IXDocumentOnlyController::IXDocumentOnlyController(std::shared_ptr<IXDocumentNode> node, int layoutMode)
    : m_node(std::move(node)), m_layoutMode(layoutMode)
{
}

IXDocumentOnlyController::~IXDocumentOnlyController() = default;

void IXDocumentOnlyController::setDocumentNode(std::shared_ptr<IXDocumentNode> node)
{
    m_node = std::move(node);
}
