#include "MapLayout/IXDocumentViewing.h"

IXDocumentViewing::~IXDocumentViewing() = default;
