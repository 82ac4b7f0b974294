// Polygon fill: one HP-GL/2 polygon per filled area. A pen selection, a
// pen-up move to the first vertex, polygon mode ("PM0"), the other vertices
// in PE form, an explicit close back to the first vertex and "PM2FP".
// The array (code 54) and inline (code 33) forms take their pen, count and
// vertices from the packet (requestPackets.h); the outline form fills the
// points the draws collected (outlineCount, outlinePoints) with pen 255.
#include <cstdint>

#include "platform/hostAddress.h"
#include "plot/penStateMachine.h"
#include "plot/pens.h"
#include "plot/polygonFill.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "runtime/textFormat.h"

namespace tavix {
namespace {

constexpr int16_t WHITE_PEN = 255;

void enterState(int16_t next) {
    state.previousPenState = state.penState;
    state.penState = next;
}

int writePen(int16_t pen) {
    char text[16];
    TextBuilder(text, sizeof text).text("SP").integer(pen);
    return writeText(text);
}

// The pen selected after "FP", if any.
struct AfterPen {
    bool select;
    int16_t pen;
};

// The polygon itself; vertexAt(i) gives vertex i in host units.
template <typename VertexAt>
int writePolygon(int16_t fillPen, AfterPen after, int32_t n, VertexAt vertexAt) {
    if (leavePe() != 0) return -1;
    if (writePen(fillPen) != 0) return -1;

    char text[16];
    TextBuilder(text, sizeof text).text(state.peIntro).character('<');
    if (writeText(text) != 0) return -1;
    enterState(PEN_MOVED);
    OutlinePoint first = vertexAt(0);
    if (emitPoint(static_cast<uint32_t>(first.x), static_cast<uint32_t>(first.y)) != 0) return -1;

    TextBuilder(text, sizeof text).text(";PM0").text(state.peIntro);
    if (writeText(text) != 0) return -1;
    enterState(PEN_DOWN);
    for (int32_t i = 1; i < n; ++i) {
        OutlinePoint p = vertexAt(i);
        if (emitPoint(static_cast<uint32_t>(p.x), static_cast<uint32_t>(p.y)) != 0) return -1;
    }
    // Always closed explicitly, whatever the last vertex is.
    if (emitPoint(static_cast<uint32_t>(first.x), static_cast<uint32_t>(first.y)) != 0) return -1;
    if (writeText(";PM2FP") != 0) return -1;
    if (after.select && writePen(after.pen) != 0) return -1;

    enterState(PEN_OUTSIDE);
    state.somethingDrawn = 1;
    return 0;
}

// Colour output and half-tone fills use the request's colour; a black fill
// in monochrome uses the black pen and then selects the request's colour.
int fillWithColour(int16_t colour, int32_t n, const uint8_t* pairs) {
    bool ownColour = state.settings.get(flags::colorMode) || state.settings.get(flags::fillStyle);
    int16_t fillPen = ownColour ? colour : MONO_PEN;
    return writePolygon(fillPen, AfterPen{!ownColour, colour}, n, [pairs](int32_t i) {
        size_t at = static_cast<size_t>(i) * 4;
        return OutlinePoint{readU16(pairs, at), readU16(pairs, at + 2)};
    });
}

// The host's vertex array for a code-54 packet, or null.
const uint8_t* arrayVertices(const uint8_t* packet) {
    return static_cast<const uint8_t*>(hostPointer(readU32(packet, plotPacket::ARRAY_ADDRESS)));
}

void answerFill(uint8_t* packet, int result) {
    writeI16(packet, PACKET_STATUS, static_cast<int16_t>(result));
    if (result == 0) state.penReselect = 1;
}

}  // namespace

int fillPolygonArray() {
    const uint8_t* packet = state.currentPacket;
    int16_t count = readI16(packet, plotPacket::ARRAY_COUNT);
    const uint8_t* pairs = arrayVertices(packet);
    if (count < 2 || pairs == nullptr) return 0;
    return fillWithColour(readI16(packet, plotPacket::ARRAY_PEN), count, pairs);
}

int fillPolygonInline() {
    const uint8_t* packet = state.currentPacket;
    int16_t count = readI16(packet, plotPacket::INLINE_COUNT);
    if (count < 2) return 0;
    const uint8_t* pairs = packet + plotPacket::INLINE_PAIRS;
    return fillWithColour(readI16(packet, plotPacket::INLINE_PEN), count, pairs);
}

int fillPolygonOutline(int16_t restorePen) {
    int32_t n = state.outlineCount;
    if (n > OUTLINE_CAPACITY) n = OUTLINE_CAPACITY;
    if (n < 1) return 0;
    return writePolygon(WHITE_PEN, AfterPen{true, restorePen}, n,
                        [](int32_t i) { return state.outlinePoints[i]; });
}

void fillArrayRequest(uint8_t* packet) {
    if (state.errorLatch != 0) return writeI16(packet, PACKET_STATUS, 0);
    // A negative count, or no vertex array at all, is a polygon with too
    // few vertices: nothing is answered.
    if (readI16(packet, plotPacket::ARRAY_COUNT) < 2 || arrayVertices(packet) == nullptr) return;
    answerFill(packet, fillPolygonArray());
}

void fillInlineRequest(uint8_t* packet) {
    if (state.errorLatch != 0) return writeI16(packet, PACKET_STATUS, 0);
    if (readI16(packet, plotPacket::INLINE_COUNT) < 2) return;
    answerFill(packet, fillPolygonInline());
}

}  // namespace tavix
