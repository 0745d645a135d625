#include "Utilities/UTFontWeights.h"

#include <gtest/gtest.h>

TEST(UTFontWeights, ConvertsBetweenScales)
{
    const struct {
        int ours, windows;
    } toWindows[] = {{0, 0}, {5, 500}, {9, 900}, {10, 900}, {12, 900}, {15, 900}};
    for (const auto& row : toWindows) EXPECT_EQ(UTFontWeights::windowsFontWieghtFromMac(row.ours), row.windows) << row.ours;
    const struct {
        int windows, ours;
    } fromWindows[] = {{100, 1}, {400, 4}, {450, 4}, {700, 7}, {900, 9}, {901, 15}, {1000, 15}, {0, 0}};
    for (const auto& row : fromWindows)
        EXPECT_EQ(UTFontWeights::macFontWieghtFromWindows(row.windows), row.ours) << row.windows;
}
