#include "DocumentModel/IXOpenDocument.h"

IXOpenDocument::~IXOpenDocument() = default;
