#include "DocumentModel/IXWindowControlling.h"

IXWindowControlling::~IXWindowControlling() = default;
