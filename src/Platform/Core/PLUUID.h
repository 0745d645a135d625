#pragma once

#include <QString>

// Fresh unique ids for nodes.
class PLUUID {
public:
    // 32 upper-case hexadecimal digits of a new random UUID, without dashes.
    static QString newIdString();
};
