#include "DocumentWindow/IXDocumentViewOwning.h"

IXDocumentViewOwning::~IXDocumentViewOwning() = default;
