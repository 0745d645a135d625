#include "DocumentViews/IXOverview.h"

IXOverview::~IXOverview() = default;
