#include "DocumentWindow/IXDocumentPrinting.h"

IXDocumentPrinting::~IXDocumentPrinting() = default;
