#include "MapLayout/IXPrintLayoutViewing.h"

IXPrintLayoutViewing::~IXPrintLayoutViewing() = default;
