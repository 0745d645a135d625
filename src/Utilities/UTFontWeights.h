#pragma once

// Font weights between our 0-15 scale (5 the standard weight) and the 100-900 scale of the
// Windows edition's files.
class UTFontWeights {
public:
    // w x 100, 900 for any weight above 9.
    static int windowsFontWieghtFromMac(int weight);
    // w / 100 in integer division (450 gives 4), 15 for any weight above 900.
    static int macFontWieghtFromWindows(int weight);
};
