// The request layouts as the host lays them out: the byte offsets the
// driver's named fields must land on, written down independently of the
// names, so that a changed name cannot move a field unnoticed.
#include <gtest/gtest.h>

#include <cstddef>

#include "tavix/requestPackets.h"

namespace tavix {
namespace {

struct Field {
    const char* name;
    size_t named;
    size_t hostOffset;
};

TEST(RequestPackets, namedFieldsSitWhereTheHostPutsThem) {
    const Field fields[] = {
        {"status", PACKET_STATUS, 0},
        {"release", releasePacket::RELEASE, 4},
        {"release zero", releasePacket::ZERO, 6},
        {"host window", releasePacket::HOST_WINDOW, 11},
        {"identify caller", identifyPacket::CALLER, 4},
        {"identify release", identifyPacket::RELEASE, 7},
        {"identify status", identifyPacket::STATUS, 10},
        {"identify zero", identifyPacket::ZERO, 12},
        {"banner", identifyPacket::BANNER, 86},
        {"language code", languagePacket::CODE, 8},
        {"model reply length", modelPacket::LENGTH, 2},
        {"model name", modelPacket::NAME, 8},
        {"device defaults", devicePacket::WANTS_DEFAULTS, 6},
        {"device area X", devicePacket::AREA_X, 8},
        {"device area Y", devicePacket::AREA_Y, 16},
        {"device steps X", devicePacket::STEPS_X, 24},
        {"device steps Y", devicePacket::STEPS_Y, 32},
        {"device port kind", devicePacket::PORT_KIND, 48},
        {"device stop bits", devicePacket::STOP_BITS, 56},
        {"device last byte", devicePacket::LAST_BYTE, 58},
        {"area options", plotAreaPacket::OPTIONS, 5},
        {"area width", plotAreaPacket::WIDTH, 9},
        {"area height", plotAreaPacket::HEIGHT, 17},
        {"area maximum width", plotAreaPacket::MAX_WIDTH, 25},
        {"area maximum height", plotAreaPacket::MAX_HEIGHT, 33},
        {"area units X", plotAreaPacket::UNITS_X, 41},
        {"area units Y", plotAreaPacket::UNITS_Y, 49},
        {"area maximum mark", plotAreaPacket::MAX_MARK, 73},
        {"area one", plotAreaPacket::ONE, 139},
        {"area zero", plotAreaPacket::ZERO, 140},
        {"table", tablePacket::TABLE, 6},
        {"pen widths", penWidthsPacket::WIDTHS, 16},
        {"point X", plotPacket::X, 4},
        {"point Y", plotPacket::Y, 6},
        {"line-type count", plotPacket::LINE_TYPE_COUNT, 8},
        {"inline pen", plotPacket::INLINE_PEN, 6},
        {"inline count", plotPacket::INLINE_COUNT, 10},
        {"inline pairs", plotPacket::INLINE_PAIRS, 12},
        {"array pen", plotPacket::ARRAY_PEN, 4},
        {"array count", plotPacket::ARRAY_COUNT, 6},
        {"array address", plotPacket::ARRAY_ADDRESS, 8},
    };
    for (const Field& f : fields) EXPECT_EQ(f.hostOffset, f.named) << f.name;
    EXPECT_EQ(267u, plotAreaPacket::SIZE);
}

}  // namespace
}  // namespace tavix
