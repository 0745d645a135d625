#include "DocumentViews/IXContinuousSpellChecking.h"

namespace {
IXContinuousSpellChecking* installed = nullptr;
}

IXContinuousSpellChecking::~IXContinuousSpellChecking()
{
    if (installed == this) installed = nullptr;
}

IXContinuousSpellChecking* IXContinuousSpellChecking::shared()
{
    return installed;
}

void IXContinuousSpellChecking::install(IXContinuousSpellChecking* state)
{
    installed = state;
}

bool IXContinuousSpellChecking::isOn()
{
    return installed && installed->continuousSpellChecking();
}
