#include "DocumentViews/IXScaling.h"

IXScaling::~IXScaling() = default;

void IXScaling::resizeWithOldSuperviewSize(const QSize&) {}
