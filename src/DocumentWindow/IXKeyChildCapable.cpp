#include "DocumentWindow/IXKeyChildCapable.h"

IXKeyChildCapable::~IXKeyChildCapable() = default;
