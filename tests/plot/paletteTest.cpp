// The colour-number palette as the pens and the image restore send it.
#include <gtest/gtest.h>

#include "plot/palette.h"

namespace tavix {
namespace {

struct Rgb {
    int index, r, g, b;
};

TEST(ColorIndexPalette, entriesAsListed) {
    const Rgb samples[] = {{0, 0, 0, 0},       {1, 255, 0, 0},     {7, 0, 0, 0},
                           {8, 191, 191, 191}, {9, 127, 127, 127}, {10, 255, 0, 0},
                           {57, 71, 73, 35},   {134, 0, 127, 153}, {181, 158, 127, 255},
                           {249, 35, 17, 22},  {250, 84, 84, 84},  {255, 255, 255, 255}};
    for (const Rgb& e : samples) {
        EXPECT_EQ(e.r, colorIndexPalette[e.index][0]) << e.index;
        EXPECT_EQ(e.g, colorIndexPalette[e.index][1]) << e.index;
        EXPECT_EQ(e.b, colorIndexPalette[e.index][2]) << e.index;
    }
}

// Entries 10..249: 24 hue families of ten, each a full colour and its pale
// companion at brightness 255, 165, 127, 73, 35 in the strongest component.
// Entries 57 and 134 are stored off the pattern and kept so.
TEST(ColorIndexPalette, hueFamiliesFollowTheBrightnessLevels) {
    const int levels[5] = {255, 165, 127, 73, 35};
    for (int index = 10; index < 250; ++index) {
        int strongest = 0;
        for (int c = 0; c < 3; ++c)
            if (colorIndexPalette[index][c] > strongest) strongest = colorIndexPalette[index][c];
        if (index == 134) {
            EXPECT_EQ(153, strongest);
            continue;
        }
        EXPECT_EQ(levels[(index % 10) / 2], strongest) << "entry " << index;
    }
}

}  // namespace
}  // namespace tavix
