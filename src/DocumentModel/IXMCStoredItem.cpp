#include "DocumentModel/IXMCStoredItem.h"

IXMCStoredItem::~IXMCStoredItem() = default;
