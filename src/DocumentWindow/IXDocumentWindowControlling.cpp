#include "DocumentWindow/IXDocumentWindowControlling.h"

IXDocumentWindowControlling::~IXDocumentWindowControlling() = default;
