// The gate of PlotEntry's common path (plot/requestGate.h), which reads the
// pen state and the rare conditions as two words, against the rule it
// stands for, taken one field at a time.
#include "plot/requestGate.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "tavix/driverState.h"

namespace tavix {
namespace {

struct GateFields {
    int16_t penState;
    uint8_t penReselect;
    uint8_t errorLatch;
    int32_t outlineCapture;
    uint32_t imageMarker;
};

bool penGoesOn(int16_t s) { return s == PEN_DOWN || s == PEN_MOVED; }

bool drawRule(const GateFields& f) {
    return penGoesOn(f.penState) && f.penReselect == 0 && f.errorLatch == 0 && f.outlineCapture == 0 &&
           f.imageMarker == 0;
}

// Pen re-selection and outline capture concern draws only.
bool moveRule(const GateFields& f) { return penGoesOn(f.penState) && f.errorLatch == 0 && f.imageMarker == 0; }

class RequestGate : public ::testing::Test {
protected:
    void SetUp() override { resetDriverState(); }
    void TearDown() override { resetDriverState(); }
};

TEST_F(RequestGate, opensExactlyWhereTheRuleDoes) {
    // States next to the two open ones, with high bytes set, and extremes:
    // a borrow or a stray bit that the masks mishandle shows up here.
    const int16_t states[] = {PEN_OUTSIDE, PEN_UP_FLAGGED, PEN_DOWN, PEN_MOVED, 0, 3, 5, 6, 7, 9, 12,
                              -4, -1, 0x0104, 0x0108, 0x0400, INT16_MIN, INT16_MAX};
    const uint8_t flags[] = {0, 1, 0x80, LATCH_CONFIG, LATCH_OUTPUT};
    const int32_t captures[] = {0, 1, -1, 0x100, INT32_MIN};
    const uint32_t markers[] = {0, IMAGE_PENDING, 1, 0x10000, 0x80000000u};
    int open[2] = {0, 0};
    for (int16_t s : states)
        for (uint8_t reselect : flags)
            for (uint8_t latch : flags)
                for (int32_t capture : captures)
                    for (uint32_t marker : markers) {
                        const GateFields f{s, reselect, latch, capture, marker};
                        state.penState = f.penState;
                        state.penReselect = f.penReselect;
                        state.errorLatch = f.errorLatch;
                        state.outlineCapture = f.outlineCapture;
                        state.imageMarker = f.imageMarker;
                        int16_t seen = 0;
                        ASSERT_EQ(drawRule(f), gate::drawMayContinue(seen))
                            << "draw: state " << s << ", re-select " << int{reselect} << ", latch "
                            << int{latch} << ", capture " << capture << ", image " << marker;
                        ASSERT_EQ(s, seen);
                        seen = 0;
                        ASSERT_EQ(moveRule(f), gate::moveMayContinue(seen))
                            << "move: state " << s << ", re-select " << int{reselect} << ", latch "
                            << int{latch} << ", capture " << capture << ", image " << marker;
                        ASSERT_EQ(s, seen);
                        open[0] += drawRule(f);
                        open[1] += moveRule(f);
                    }
    // Both gates were seen open as well as shut: 2 states x 1 x 1 x 1 x 1,
    // and for moves any re-selection flag and capture (5 x 5).
    EXPECT_EQ(2, open[0]);
    EXPECT_EQ(2 * 5 * 5, open[1]);
}

// The fields around the gate words do not reach into them.
TEST_F(RequestGate, neighbouringFieldsDoNotCount) {
    state.penState = PEN_DOWN;
    state.previousPenState = -1;
    state.somethingDrawn = 0xFF;
    state.offsetMargins[3] = -1.0;  // just before the first word
    int16_t seen = 0;
    EXPECT_TRUE(gate::drawMayContinue(seen));
    EXPECT_TRUE(gate::moveMayContinue(seen));
}

}  // namespace
}  // namespace tavix
