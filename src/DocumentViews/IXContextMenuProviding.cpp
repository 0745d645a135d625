#include "DocumentViews/IXContextMenuProviding.h"

IXContextMenuProviding::~IXContextMenuProviding() = default;
