#include "Platform/Drawing/PLAntialiasingScope.h"

#include "Platform/Drawing/PLGraphicsContext.h"

PLAntialiasingScope::PLAntialiasingScope(PLGraphicsContext& context, bool antialias)
    : m_context(context), m_previous(context.shouldAntialias())
{
    context.setShouldAntialias(antialias);
}

PLAntialiasingScope::~PLAntialiasingScope()
{
    m_context.setShouldAntialias(m_previous);
}
