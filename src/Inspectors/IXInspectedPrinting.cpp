#include "Inspectors/IXInspectedPrinting.h"

IXInspectedPrinting::~IXInspectedPrinting() = default;
