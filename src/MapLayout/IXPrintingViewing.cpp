#include "MapLayout/IXPrintingViewing.h"

IXPrintingViewing::~IXPrintingViewing() = default;
