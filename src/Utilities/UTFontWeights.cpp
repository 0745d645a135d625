#include "Utilities/UTFontWeights.h"

int UTFontWeights::windowsFontWieghtFromMac(int weight)
{
    return weight > 9 ? 900 : weight * 100;
}

int UTFontWeights::macFontWieghtFromWindows(int weight)
{
    return weight > 900 ? 15 : weight / 100;
}
