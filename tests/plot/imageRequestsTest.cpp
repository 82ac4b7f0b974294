// Image requests: the kept request, the output size, the moves and the
// restore around the raster, the row queries in both directions, and what
// happens when the host or the port fails.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/hostAddress.h"
#include "platform/messageBox.h"
#include "plot/imageRequests.h"
#include "support/imageRequestPacket.h"
#include "support/recordingHost.h"
#include "support/testSeams.h"
#include "tavix/driverState.h"
#include "tavix/imageRequest.h"
#include "tavix/messageSlots.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {
namespace {

constexpr int32_t HOST_VALUE = 0x12345678;

// The host side of an image: rows handed out in turn (cycled), replies that
// can stop, fail or be missing, and a record of queries and releases.
struct FakeImageHost {
    std::vector<std::vector<uint8_t>> rows;
    int stopAt = -1;
    int errorAt = -1;
    int missingReplyAt = -1;
    std::vector<std::vector<uint8_t>> queries;
    std::vector<HostAddress> released;
    uint8_t reply[16] = {};
};

FakeImageHost* fake = nullptr;

ImageRowReplyAddress TAVIX_CDECL rowSource(void* query) {
    const uint8_t* q = static_cast<const uint8_t*>(query);
    fake->queries.emplace_back(q, q + ROW_QUERY_SIZE);
    const int index = static_cast<int>(fake->queries.size()) - 1;
    if (index == fake->missingReplyAt) return 0;
    std::memset(fake->reply, 0, sizeof fake->reply);
    if (!fake->rows.empty()) {
        const std::vector<uint8_t>& row = fake->rows[static_cast<size_t>(index) % fake->rows.size()];
        writeU32(fake->reply, rowReply::PIXELS, hostAddressOf(row.data()));
        writeI32(fake->reply, rowReply::COUNT, static_cast<int32_t>(row.size()));
    }
    if (index == fake->stopAt) writeI16(fake->reply, rowReply::STOP_FLAG, 1);
    if (index == fake->errorAt) writeI16(fake->reply, rowReply::ERROR_FLAG, 1);
    return hostAddressOf(fake->reply);
}

void TAVIX_CDECL rowRelease(ImageRowReplyAddress reply) { fake->released.push_back(reply); }

struct Box {
    HostAddress owner;
    std::string text, caption;
    unsigned style;
};
std::vector<Box> boxes;

void recordBox(HostAddress owner, const char* text, const char* caption, unsigned style) {
    boxes.push_back({owner, text, caption, style});
}

struct ImageFields {
    int32_t x0 = 1000, y0 = 2000, x1 = 2000, y1 = 2500;
    int32_t kind = 8;
    int32_t sourceWidth = 100, sourceHeight = 50;
    int16_t transparency = 0;
    int16_t depth = 8;
    int16_t colorIndex = 7;
    int32_t hostValue = HOST_VALUE;
};

std::vector<uint8_t> imagePacketFor(const ImageFields& s) {
    return testing::imageRequestPacket(s, reinterpret_cast<const void*>(&rowSource),
                                       reinterpret_cast<const void*>(&rowRelease), 0xB0);
}

std::vector<uint8_t> rgbPixels(int n, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> row;
    for (int i = 0; i < n; ++i) row.insert(row.end(), {r, g, b});
    return row;
}

std::string bin(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

size_t occurrences(const std::string& haystack, const std::string& needle) {
    size_t n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
    return n;
}

const std::string ENTER = "\x1b%1A\x1b*p0P\x1b&a1N\x1b*v6W";
const std::string END = "\x1b*rC\x1b*p1P\x1b%0B";
const std::string RESTORE = "IW0,0,33528,22352SP3PW0.254LT-3,2.0";

class ImageRequestsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.install();
        fake = &images;
        boxes.clear();
        warningBoxHook = recordBox;
        std::strcpy(state.messages[MSG_PLOTTING_ERROR], "Plotting error occured. ");
        ASSERT_TRUE(obtainOutputBuffer());
        std::strcpy(state.restoreTexts.window, "IW0,0,33528,22352");
        std::strcpy(state.restoreTexts.pen, "SP3");
        std::strcpy(state.restoreTexts.penWidth, "PW0.254");
        std::strcpy(state.restoreTexts.lineType, "LT-3,2.0");
        std::strcpy(state.restoreTexts.peIntro, "PE7");
        state.currentX = 1234;
        state.currentY = 567;
        state.lastHostX = 1234;
        state.lastHostY = 567;
        state.penState = PEN_DOWN;
        state.hostWindow = 0x00ABCDEF;
        images.rows = {rgbPixels(393, 255, 255, 255)};
    }

    void TearDown() override {
        fake = nullptr;
        releaseOutputBuffer();
    }

    void print(const ImageFields& shape) {
        packet = imagePacketFor(shape);
        announceImage(packet.data());
        EXPECT_EQ(0, printPendingImage());
    }

    testing::TestSeams seams;
    testing::RecordingHost host;
    FakeImageHost images;
    std::vector<uint8_t> packet;
};

TEST_F(ImageRequestsTest, announceKeepsTheRequestAndReplies) {
    ImageFields shape;
    shape.transparency = 1;
    packet = imagePacketFor(shape);
    announceImage(packet.data());
    EXPECT_EQ(52, readI16(packet.data(), PACKET_STATUS));
    EXPECT_EQ(1, readI16(packet.data(), imagePacket::REPLY));
    EXPECT_EQ(0, std::memcmp(packet.data(), state.image.request, IMAGE_REQUEST_SIZE));
    EXPECT_EQ(IMAGE_PENDING, state.imageMarker);
    EXPECT_EQ(1, state.outlineCapture);
    EXPECT_EQ(1234, state.outlineOrigin.x);
    EXPECT_EQ(567, state.outlineOrigin.y);
    EXPECT_EQ(1000, state.image.widthHost);
    EXPECT_EQ(0, state.image.bitonal);
    EXPECT_TRUE(host.output.empty());
}

TEST_F(ImageRequestsTest, bitonalRuleAndColourIndex) {
    struct Case {
        int32_t kind;
        int16_t depth;
        int32_t bitonal;
    } cases[] = {{0, 24, 1}, {1, 2, 1}, {1, 1, 1}, {1, 3, 0}, {2, 1, 0}, {8, 8, 0}};
    for (const Case& c : cases) {
        ImageFields shape;
        shape.kind = c.kind;
        shape.depth = c.depth;
        packet = imagePacketFor(shape);
        announceImage(packet.data());
        EXPECT_EQ(c.bitonal, state.image.bitonal) << "kind " << c.kind << " depth " << c.depth;
    }
    // Indexes outside the eight-colour table print black.
    for (int16_t index : {3, 8, -1, 255}) {
        ImageFields shape;
        shape.colorIndex = index;
        packet = imagePacketFor(shape);
        announceImage(packet.data());
        const int32_t expected[3] = {0, index == 3 ? 255 : 0, 0};  // green, else black
        EXPECT_EQ(expected[0], state.image.bitonalColor[0]) << index;
        EXPECT_EQ(expected[1], state.image.bitonalColor[1]) << index;
        EXPECT_EQ(expected[2], state.image.bitonalColor[2]) << index;
    }
}

// The worked example: monochrome, scale divisor 1, 100 x 50 source pixels
// into (1000, 2000)-(2000, 2500): 393 x 196 printer pixels.
TEST_F(ImageRequestsTest, workedExampleOnTheWire) {
    print(ImageFields{});
    std::string expectedStart = ";PU2000,2000PA2000,2000" + ENTER + bin({0, 0, 1, 8, 8, 8}) +
                                "\x1b*r393S\x1b*r196T\x1b*b2M\x1b*t400R" +
                                "\x1b*v255a255b255c0I\x1b*v0a0b0c1I\x1b*r1A";
    EXPECT_BYTES(expectedStart, host.output.substr(0, expectedStart.size()));
    // 196 white rows of ceil(393 / 8) = 50 zero bytes, packed to CF 00 00 00.
    std::string white = "\x1b*b2m4W" + bin({0xCF, 0, 0, 0});
    EXPECT_EQ(196u, occurrences(host.output, white));
    size_t end = host.output.find(END);
    ASSERT_NE(std::string::npos, end);
    EXPECT_EQ(expectedStart.size() + 196 * white.size(), end);
    std::string closing = host.output.substr(end + END.size());
    EXPECT_EQ(0u, closing.find("PA2000,2000PU1234,567PRPC1,76,76,76PC2,226,226,226"));
    EXPECT_EQ(255u, occurrences(closing, "PC"));
    EXPECT_NE(std::string::npos, closing.find("PC8,191,191,191PC9,127,127,127"));
    EXPECT_NE(std::string::npos, closing.find("PC255,255,255,255" + RESTORE));
    EXPECT_EQ(closing.size() - RESTORE.size(), closing.find(RESTORE));

    EXPECT_EQ(0u, state.imageMarker);
    EXPECT_EQ(PEN_OUTSIDE, state.penState);
    EXPECT_EQ(196u, images.queries.size());
    EXPECT_EQ(196u, images.released.size());
}

TEST_F(ImageRequestsTest, rowQueriesAlongY) {
    std::memset(state.image.rowQuery, 0xEE, ROW_QUERY_SIZE);
    print(ImageFields{});
    ASSERT_EQ(196u, images.queries.size());
    struct Expected {
        size_t row;
        int32_t yStart, yEnd;
    } rows[] = {{0, 2000, 2002}, {1, 2003, 2004}, {195, 2497, 2499}};
    for (const Expected& e : rows) {
        const uint8_t* q = images.queries[e.row].data();
        EXPECT_EQ(0, readI32(q, rowQuery::FIRST_COLUMN));
        EXPECT_EQ(static_cast<int32_t>(e.row), readI32(q, rowQuery::FIRST_ROW));
        EXPECT_EQ(392, readI32(q, rowQuery::LAST_COLUMN));
        EXPECT_EQ(static_cast<int32_t>(e.row), readI32(q, rowQuery::LAST_ROW));
        EXPECT_EQ(1000, readI32(q, rowQuery::DEVICE_X_START));
        EXPECT_EQ(e.yStart, readI32(q, rowQuery::DEVICE_Y_START)) << "row " << e.row;
        EXPECT_EQ(1999, readI32(q, rowQuery::DEVICE_X_END));
        EXPECT_EQ(e.yEnd, readI32(q, rowQuery::DEVICE_Y_END)) << "row " << e.row;
    }
    const uint8_t* q = images.queries[0].data();
    EXPECT_EQ(HOST_VALUE, readI32(q, rowQuery::HOST_VALUE));
    EXPECT_EQ(8, readI32(q, rowQuery::KIND));
    EXPECT_EQ(DIRECTION_ALONG_Y, readI32(q, rowQuery::DIRECTION));
    EXPECT_EQ(24, readI16(q, rowQuery::BITS_PER_PIXEL));
    EXPECT_EQ(bin({255, 255, 255, 0xEE, 0, 1, 2, 0xEE}), std::string(reinterpret_cast<const char*>(q + 48), 8));
    EXPECT_EQ(0, readI32(q, rowQuery::ZERO32));
    EXPECT_EQ(0, readI16(q, rowQuery::ZERO16));
    EXPECT_EQ(1, readI16(q, rowQuery::ONE16));
    for (int i = 0; i < imagePacket::HOST_BLOCK_SIZE; ++i)
        EXPECT_EQ(0xB0 + i, q[rowQuery::HOST_BLOCK + i]) << "block byte " << i;
    // Bytes the query layout leaves out are never written.
    for (int offset : {44, 45, 56, 57, 58, 59, 60, 61, 62, 63}) EXPECT_EQ(0xEE, q[offset]) << offset;
}

TEST_F(ImageRequestsTest, rowQueriesOfABitonalImage) {
    std::memset(state.image.rowQuery, 0xEE, ROW_QUERY_SIZE);
    ImageFields shape;
    shape.kind = 0;
    shape.colorIndex = 5;
    images.rows = {std::vector<uint8_t>(393, 0)};
    print(shape);
    ASSERT_FALSE(images.queries.empty());
    const uint8_t* q = images.queries[0].data();
    EXPECT_EQ(1, readI32(q, rowQuery::KIND));
    EXPECT_EQ(1, readI16(q, rowQuery::BITS_PER_PIXEL));
    EXPECT_EQ(bin({0, 0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 5, 0, 0xEE}),
              std::string(reinterpret_cast<const char*>(q + 48), 11));
}

// landscapePaper: the image starts at (x0, y0), its rows run along X, each
// query is one column band with all H pixels.
TEST_F(ImageRequestsTest, rotatedDirectionWithLandscapePaper) {
    state.settings.set(flags::landscapePaper, true);
    images.rows = {rgbPixels(196, 255, 255, 255)};
    print(ImageFields{});
    EXPECT_EQ(0u, host.output.find(";PU1000,2000PA1000,2000" + ENTER));
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r196S\x1b*r393T"));
    ASSERT_EQ(393u, images.queries.size());
    const uint8_t* q = images.queries[0].data();
    EXPECT_EQ(0, readI32(q, rowQuery::FIRST_COLUMN));
    EXPECT_EQ(0, readI32(q, rowQuery::FIRST_ROW));
    EXPECT_EQ(0, readI32(q, rowQuery::LAST_COLUMN));
    EXPECT_EQ(195, readI32(q, rowQuery::LAST_ROW));
    EXPECT_EQ(1000, readI32(q, rowQuery::DEVICE_X_START));
    EXPECT_EQ(2000, readI32(q, rowQuery::DEVICE_Y_START));
    EXPECT_EQ(1002, readI32(q, rowQuery::DEVICE_X_END));
    EXPECT_EQ(2499, readI32(q, rowQuery::DEVICE_Y_END));
    EXPECT_EQ(DIRECTION_ALONG_X, readI32(q, rowQuery::DIRECTION));
    q = images.queries[392].data();
    EXPECT_EQ(392, readI32(q, rowQuery::FIRST_COLUMN));
    EXPECT_EQ(392, readI32(q, rowQuery::LAST_COLUMN));
    EXPECT_EQ(1997, readI32(q, rowQuery::DEVICE_X_START));
    EXPECT_EQ(1999, readI32(q, rowQuery::DEVICE_X_END));
    // The closing PA is the same in both directions.
    EXPECT_NE(std::string::npos, host.output.find(END + "PA2000,2000PU1234,567PR"));
}

// Less than one printer pixel high: no row is asked for, but the moves,
// the set-up with height 0, the end and the restore are all written.
TEST_F(ImageRequestsTest, zeroRowImage) {
    ImageFields shape;
    shape.y1 = shape.y0 + 1;
    print(shape);
    EXPECT_TRUE(images.queries.empty());
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r393S\x1b*r0T"));
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r1A" + END + "PA2000,2000PU1234,567PR"));
    EXPECT_EQ(RESTORE, host.output.substr(host.output.size() - RESTORE.size()));
}

TEST_F(ImageRequestsTest, bitonalImageWithColourIndexZeroPrintsNothingVisible) {
    state.settings.set(flags::rasterContone, true);
    ImageFields shape;
    shape.kind = 0;
    shape.colorIndex = 0;
    shape.transparency = 1;
    images.rows = {std::vector<uint8_t>(393, 1)};
    print(shape);
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r1A\x1b*b196Y" + END));
    EXPECT_EQ(0, state.image.nonWhitePixels);
    EXPECT_EQ(1, state.outlineCapture);  // nothing visible: the outline stays armed
}

TEST_F(ImageRequestsTest, visiblePixelsClearOutlineCapture) {
    ImageFields shape;
    shape.transparency = 1;
    images.rows = {rgbPixels(393, 255, 255, 255), rgbPixels(393, 10, 20, 30)};
    state.lastHostX = 77;
    state.lastHostY = 88;
    packet = imagePacketFor(shape);
    announceImage(packet.data());
    EXPECT_EQ(1, state.outlineCapture);
    state.lastHostX = 99;  // moved on before the image is printed
    printPendingImage();
    EXPECT_EQ(0, state.outlineCapture);
    EXPECT_EQ(99, state.outlineOrigin.x);
    EXPECT_EQ(88, state.outlineOrigin.y);
    EXPECT_EQ(98 * 393, state.image.nonWhitePixels);
}

TEST_F(ImageRequestsTest, colourImageRestoresThePaletteInColour) {
    state.settings.set(flags::colorMode, true);
    images.rows = {rgbPixels(295, 255, 255, 255)};
    print(ImageFields{});
    // 300 dpi: trunc(2.5 / (100 / 300 * 2.54) * 100) = 295, and 147 rows.
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r295S\x1b*r147T\x1b*b2M\x1b*t300R"));
    EXPECT_EQ(147u, images.queries.size());
    std::string closing = host.output.substr(host.output.find(END) + END.size());
    EXPECT_EQ(0u, closing.find("PA2000,2000PU1234,567PRPC1,255,0,0PC2,255,255,0PC3,0,255,0"));
    EXPECT_NE(std::string::npos, closing.find("PC57,71,73,35PC58,35,35,0"));
    EXPECT_NE(std::string::npos, closing.find("PC134,0,127,153"));
}

TEST_F(ImageRequestsTest, scaleDivisorMagnifiesAndMovesInPlotterUnits) {
    state.scaleDivisor = 2;
    images.rows = {rgbPixels(393, 0, 0, 0)};
    print(ImageFields{});
    EXPECT_EQ(0u, host.output.find(";PU4000,4000PA4000,4000" + ENTER));
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r786S\x1b*r392T"));
    // Each row of 786 replicated pixels (98 bytes of FF and C0) is sent
    // twice; the closing PA stays in host units.
    EXPECT_EQ(392u, occurrences(host.output, "\x1b*b2m6W" + bin({0x9F, 0xFF, 0x00, 0xC0, 0, 0})));
    EXPECT_NE(std::string::npos, host.output.find(END + "PA2000,2000PU1234,567PR"));
}

// The host reuses its packet for the next request: the image printed is
// the one kept, and the next announcement replaces it.
TEST_F(ImageRequestsTest, pendingImageIsPrintedFromTheKeptCopy) {
    packet = imagePacketFor(ImageFields{});
    announceImage(packet.data());
    ImageFields second;
    second.hostValue = 42;
    second.x1 = 3000;
    std::vector<uint8_t> next = imagePacketFor(second);
    std::memcpy(packet.data(), next.data(), packet.size());
    printPendingImage();
    ASSERT_EQ(196u, images.queries.size());
    EXPECT_EQ(HOST_VALUE, readI32(images.queries[0].data(), rowQuery::HOST_VALUE));
    EXPECT_EQ(0u, host.output.find(";PU2000,2000"));

    host.output.clear();
    images.queries.clear();
    announceImage(packet.data());
    printPendingImage();
    EXPECT_EQ(0u, host.output.find(";PU3000,2000"));
    EXPECT_EQ(42, readI32(images.queries[0].data(), rowQuery::HOST_VALUE));
}

TEST_F(ImageRequestsTest, stagedOutputIsFlushedFirstAndThePageIsEnded) {
    ASSERT_EQ(0, writeText("SP3PE7<GeGe"));
    state.somethingDrawn = 0;
    print(ImageFields{});
    EXPECT_EQ(0u, host.output.find("SP3PE7<GeGe;PU2000,2000"));
    EXPECT_EQ(0, state.outputCount);
    EXPECT_EQ(1, state.somethingDrawn);
}

TEST_F(ImageRequestsTest, failedRowRaisesTheWarningBoxAndIsLeftOut) {
    images.errorAt = 1;
    print(ImageFields{});
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("image faile=1 393 1179", boxes[0].text);
    EXPECT_EQ("VUV4.3", boxes[0].caption);
    EXPECT_EQ(0x00ABCDEFu, boxes[0].owner);
    EXPECT_EQ(0x30u, boxes[0].style);
    EXPECT_EQ(195u, occurrences(host.output, "\x1b*b2m4W"));
    EXPECT_EQ(196u, images.released.size());
}

TEST_F(ImageRequestsTest, stopFlagEndsTheRowsAndTheImageIsClosed) {
    images.stopAt = 2;
    print(ImageFields{});
    EXPECT_EQ(3u, images.queries.size());
    EXPECT_EQ(3u, images.released.size());
    EXPECT_EQ(2u, occurrences(host.output, "\x1b*b2m4W"));
    EXPECT_NE(std::string::npos, host.output.find(END + "PA2000,2000PU1234,567PR"));
    EXPECT_EQ(RESTORE, host.output.substr(host.output.size() - RESTORE.size()));
}

TEST_F(ImageRequestsTest, missingReplyEndsTheRows) {
    images.missingReplyAt = 1;
    print(ImageFields{});
    EXPECT_EQ(2u, images.queries.size());
    EXPECT_EQ(1u, images.released.size());
    EXPECT_NE(std::string::npos, host.output.find(END));
}

TEST_F(ImageRequestsTest, missingOrNegativeRowDataEncodesNoPixels) {
    state.settings.set(flags::rasterContone, true);
    images.rows = {};  // replies with no pixels and a count of 0
    print(ImageFields{});
    EXPECT_EQ(196u, images.queries.size());
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r1A\x1b*b196Y" + END));
}

// With the latch set (an output failure, or an abort), or with no plot
// open, the stream has lost its staged part: nothing is written and no row
// is asked for, but the image is no longer pending.
TEST_F(ImageRequestsTest, noImageAfterAFailureOrOutsideAPlot) {
    for (int situation = 0; situation < 3; ++situation) {
        SetUp();
        if (situation == 0) state.errorLatch = LATCH_OUTPUT;
        if (situation == 1) state.errorLatch = LATCH_CONFIG;
        if (situation == 2) releaseOutputBuffer();
        print(ImageFields{});
        EXPECT_EQ(0, host.writeCalls) << situation;
        EXPECT_TRUE(images.queries.empty()) << situation;
        EXPECT_EQ(0u, state.imageMarker);
        EXPECT_EQ(PEN_OUTSIDE, state.penState);
        EXPECT_EQ(0, state.somethingDrawn);
        images = FakeImageHost{};
    }
}

// A dead port during the image: message 77 once, the latch, no more rows,
// no more writes.
TEST_F(ImageRequestsTest, refusedWriteStopsTheImage) {
    host.failWriteAtCall = 12;  // within the first rows
    print(ImageFields{});
    EXPECT_EQ(13, host.writeCalls);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ("\nPlotting error occured. \n", host.messages[0]);
    EXPECT_LT(images.queries.size(), 10u);
    EXPECT_EQ(images.queries.size(), images.released.size());
    EXPECT_EQ(0u, state.imageMarker);
    EXPECT_EQ(0, state.somethingDrawn);
}

TEST_F(ImageRequestsTest, failedFlushBeforeTheImageWritesNothingMore) {
    ASSERT_EQ(0, writeText("SP3"));
    host.failWriteAtCall = 0;
    print(ImageFields{});
    EXPECT_EQ(1, host.writeCalls);
    EXPECT_TRUE(images.queries.empty());
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_EQ(1u, host.messages.size());
}

// No source pixels, an empty or a reversed target: no division by zero, no
// row asked for, sizes of 0.
TEST_F(ImageRequestsTest, degenerateSizesGiveNoPixels) {
    struct Case {
        const char* name;
        ImageFields shape;
        const char* sizes;
    };
    ImageFields noWidth, noHeight, emptyTarget, reversed;
    noWidth.sourceWidth = 0;
    noHeight.sourceHeight = 0;
    emptyTarget.x1 = emptyTarget.x0;
    reversed.x1 = 500;
    noHeight.sourceHeight = -50;
    for (const Case& c : {Case{"no width", noWidth, "\x1b*r0S\x1b*r196T"},
                          Case{"no height", noHeight, "\x1b*r393S\x1b*r0T"},
                          Case{"empty target", emptyTarget, "\x1b*r0S\x1b*r196T"},
                          Case{"reversed target", reversed, "\x1b*r0S\x1b*r196T"}}) {
        host.output.clear();
        images.queries.clear();
        print(c.shape);
        EXPECT_TRUE(images.queries.empty()) << c.name;
        EXPECT_NE(std::string::npos, host.output.find(c.sizes)) << c.name;
        EXPECT_NE(std::string::npos, host.output.find("\x1b*r1A" + END)) << c.name;
    }
}

// Far corners at scale divisor 16 do not fit 32 bits in plotter units.
TEST_F(ImageRequestsTest, farCornersAreWrittenWithoutOverflow) {
    state.scaleDivisor = 16;
    ImageFields shape;
    shape.x0 = 0;
    shape.x1 = INT32_MAX;
    shape.y0 = INT32_MIN;
    shape.y1 = INT32_MIN + 1;
    print(shape);
    EXPECT_EQ(0u, host.output.find(";PU34359738352,-34359738368PA34359738352,-34359738368"));
    // The width is limited to what a row can hold: 30000 / 16 source pixels.
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r30000S\x1b*r0T"));
    EXPECT_NE(std::string::npos, host.output.find("PA2147483647,-2147483648PU1234,567PR"));
}

TEST_F(ImageRequestsTest, nothingPendingDoesNothing) {
    EXPECT_EQ(0, printPendingImage());
    EXPECT_EQ(0, host.writeCalls);
    EXPECT_EQ(PEN_DOWN, state.penState);
}

}  // namespace
}  // namespace tavix
