#include "Inspectors/IXOverviewHost.h"

IXOverviewHost::~IXOverviewHost() = default;
