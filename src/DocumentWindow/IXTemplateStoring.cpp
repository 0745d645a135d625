#include "DocumentWindow/IXTemplateStoring.h"

namespace {

IXTemplateStoring* installed = nullptr;

} // namespace

IXTemplateStoring::~IXTemplateStoring()
{
    if (installed == this) installed = nullptr;
}

IXTemplateStoring* IXTemplateStoring::shared()
{
    return installed;
}

void IXTemplateStoring::install(IXTemplateStoring* storage)
{
    installed = storage;
}
