#include "tests/plot/plotFixture.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/hostAddress.h"
#include "tavix/entryPoints.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "tavix/tables.h"

namespace tavix::plottest {
namespace {

// Ten entries a line, red,green,blue, as the reference lists them.
const char* const PALETTE_LINES[] = {
    "0,0,0 255,0,0 255,255,0 0,255,0 0,255,255 0,0,255 255,0,255 0,0,0 191,191,191 127,127,127",
    "255,0,0 255,127,127 165,0,0 165,81,81 127,0,0 127,63,63 73,0,0 73,35,35 35,0,0 35,17,17",
    "255,63,0 255,158,127 165,40,0 165,102,81 127,30,0 127,79,63 73,17,0 73,45,35 35,7,0 35,22,17",
    "255,127,0 255,191,127 165,81,0 165,122,81 127,63,0 127,94,63 73,35,0 73,56,35 35,17,0 35,28,17",
    "255,191,0 255,221,127 165,122,0 165,142,81 127,94,0 127,109,63 73,56,0 73,66,35 35,28,0 35,33,17",
    "255,255,0 255,255,127 165,165,0 165,165,81 127,127,0 127,127,63 73,73,0 71,73,35 35,35,0 35,35,17",
    "191,255,0 221,255,127 122,165,0 142,165,81 94,127,0 109,127,63 56,73,0 66,73,35 28,35,0 33,35,17",
    "127,255,0 191,255,127 81,165,0 122,165,81 63,127,0 94,127,63 35,73,0 56,73,35 17,35,0 28,35,17",
    "63,255,0 158,255,127 40,165,0 102,165,81 30,127,0 79,127,63 17,73,0 45,73,35 7,35,0 22,35,17",
    "0,255,0 127,255,127 0,165,0 81,165,81 0,127,0 63,127,63 0,73,0 35,73,35 0,35,0 17,35,17",
    "0,255,63 127,255,158 0,165,40 81,165,102 0,127,79 63,127,79 0,73,17 35,73,45 0,35,7 17,35,22",
    "0,255,127 127,255,191 0,165,81 81,165,122 0,127,63 63,127,94 0,73,35 35,73,56 0,35,17 17,35,28",
    "0,255,191 127,255,221 0,165,122 81,165,142 0,127,94 63,127,109 0,73,56 35,73,66 0,35,28 17,35,33",
    "0,255,255 127,255,255 0,165,165 81,165,165 0,127,153 63,127,127 0,73,73 35,73,73 0,35,35 17,35,35",
    "0,191,255 127,221,255 0,122,165 81,142,165 0,94,127 63,109,127 0,56,73 35,66,73 0,28,35 17,33,35",
    "0,127,255 127,191,255 0,81,165 81,122,165 0,63,127 63,94,127 0,35,73 35,56,73 0,17,35 17,28,35",
    "0,63,255 127,158,255 0,40,165 81,102,165 0,30,127 63,79,127 0,17,73 35,45,73 0,7,35 17,22,35",
    "0,0,255 127,127,255 0,0,165 81,81,165 0,0,127 63,63,127 0,0,73 35,35,73 0,0,35 17,17,35",
    "63,0,255 158,127,255 40,0,165 102,81,165 30,0,127 79,63,127 17,0,73 45,35,73 7,0,35 22,17,35",
    "127,0,255 191,127,255 81,0,165 122,81,165 63,0,127 94,63,127 35,0,73 56,35,73 17,0,35 28,17,35",
    "191,0,255 221,127,255 122,0,165 142,81,165 94,0,127 109,63,127 56,0,73 66,35,73 28,0,35 33,17,35",
    "255,0,255 255,127,255 165,0,165 165,81,165 127,0,127 127,63,127 73,0,73 73,35,73 35,0,35 35,17,35",
    "255,0,191 255,127,221 165,0,122 165,81,142 127,0,94 127,63,109 73,0,56 73,35,66 35,0,28 35,17,33",
    "255,0,127 255,127,191 165,0,81 165,81,122 127,0,63 127,63,94 73,0,35 73,35,56 35,0,17 35,17,28",
    "255,0,63 255,127,158 165,0,40 165,81,102 127,0,30 127,63,79 73,0,17 73,35,45 35,0,7 35,17,22",
    "84,84,84 117,117,117 150,150,150 186,186,186 219,219,219 255,255,255",};

}  // namespace

const std::vector<Rgb>& referencePalette() {
    static const std::vector<Rgb> entries = [] {
        std::vector<Rgb> out;
        for (const char* line : PALETTE_LINES) {
            std::istringstream in(line);
            std::string triple;
            while (in >> triple) {
                Rgb c{};
                std::sscanf(triple.c_str(), "%d,%d,%d", &c.r, &c.g, &c.b);
                out.push_back(c);
            }
        }
        return out;
    }();
    return entries;
}

std::string expectedPalette(bool colour) {
    std::string out;
    const auto& p = referencePalette();
    for (int pen = 1; pen <= 255; ++pen) {
        Rgb c = p[static_cast<size_t>(pen)];
        if (!colour && !(c.r == c.g && c.g == c.b)) {
            int gray = (30 * c.r + 59 * c.g + 11 * c.b) / 100;
            c = Rgb{gray, gray, gray};
        }
        out += "PC" + std::to_string(pen) + "," + std::to_string(c.r) + "," + std::to_string(c.g) +
               "," + std::to_string(c.b);
    }
    return out;
}

PlotSettings workedExampleSettings() {
    PlotSettings s{};
    s.setCopies(2);
    s.setPaperSize(1);
    s.setFlagByte(0, 0x40);  // centering only: black fill, 7-bit PE, no serial line
    s.setFlagByte(1, 0x00);
    s.setFlagByte(2, 0x82);  // colour, plot margin, Standard output
    s.setFlagByte(3, 0x00);
    s.setLineEnd(0);
    s.setDensity(15);
    s.setStampFontSize(4);
    s.setModelIndex(0);
    return s;
}

PlotSettings optionOutputSettings() {
    PlotSettings s = workedExampleSettings();
    s.set(flags::outputOption, true);
    return s;
}

void PlotRequestTest::SetUp() { host.install(); }

void PlotRequestTest::TearDown() { releaseOutputBuffer(); }

int16_t PlotRequestTest::send(int16_t code) { return send(code, packet); }

int16_t PlotRequestTest::send(int16_t code, std::vector<uint8_t>& p) {
    writeI16(p.data(), PACKET_STATUS, code);
    PlotEntry(p.data());
    return readI16(p.data(), PACKET_STATUS);
}

int16_t PlotRequestTest::initialise() {
    std::fill(packet.begin(), packet.end(), 0);
    writeI16(packet.data(), identifyPacket::CALLER, 1);  // called by AutoCAD
    packet[identifyPacket::RELEASE] = 14;                 // release 14
    return send(49);
}

int16_t PlotRequestTest::setLanguage() {
    std::fill(packet.begin(), packet.end(), 0);
    std::memcpy(packet.data() + languagePacket::CODE, "en", 2);
    return send(50);
}

int16_t PlotRequestTest::loadSettings(const PlotSettings& stored) {
    std::memcpy(host.stored, stored.bytes, sizeof host.stored);
    host.hasStored = true;
    std::fill(packet.begin(), packet.end(), 0);
    writeI16(packet.data(), releasePacket::RELEASE, 3);
    return send(29);
}

int16_t PlotRequestTest::setPlotArea(double width, double height, uint32_t options) {
    std::fill(packet.begin(), packet.end(), 0);
    writeU32(packet.data(), plotAreaPacket::OPTIONS, options);
    writeF64(packet.data(), plotAreaPacket::WIDTH, width);
    writeF64(packet.data(), plotAreaPacket::HEIGHT, height);
    return send(47);
}

int16_t PlotRequestTest::beginPlot() { return send(30); }
int16_t PlotRequestTest::endPlot() { return send(2); }

int16_t PlotRequestTest::move(uint16_t x, uint16_t y) {
    writeU16(packet.data(), plotPacket::X, x);
    writeU16(packet.data(), plotPacket::Y, y);
    return send(3);
}

int16_t PlotRequestTest::draw(uint16_t x, uint16_t y) {
    writeU16(packet.data(), plotPacket::X, x);
    writeU16(packet.data(), plotPacket::Y, y);
    return send(4);
}

int16_t PlotRequestTest::lift() { return send(8); }

int16_t PlotRequestTest::selectPen(int16_t pen) {
    writeI16(packet.data(), plotPacket::VALUE, pen);
    return send(5);
}

int16_t PlotRequestTest::lineType(uint16_t type) {
    writeU16(packet.data(), plotPacket::VALUE, type);
    return send(7);
}

int16_t PlotRequestTest::penWidth(double inches) {
    writeF64(packet.data(), plotPacket::VALUE, inches);
    return send(41);
}

int16_t PlotRequestTest::fillArray(int16_t colour, const std::vector<uint16_t>& xy, int16_t count) {
    std::vector<uint8_t> vertices(xy.size() * 2 + 4);
    for (size_t i = 0; i < xy.size(); ++i) writeU16(vertices.data(), i * 2, xy[i]);
    writeI16(packet.data(), plotPacket::ARRAY_PEN, colour);
    writeI16(packet.data(), plotPacket::ARRAY_COUNT, count);
    writeU32(packet.data(), plotPacket::ARRAY_ADDRESS, hostAddressOf(vertices.data()));
    return send(54);
}

int16_t PlotRequestTest::fillArray(int16_t colour, const std::vector<uint16_t>& xy) {
    return fillArray(colour, xy, static_cast<int16_t>(xy.size() / 2));
}

int16_t PlotRequestTest::fillInline(int16_t colour, const std::vector<uint16_t>& xy) {
    writeI16(packet.data(), plotPacket::INLINE_PEN, colour);
    writeI16(packet.data(), plotPacket::INLINE_COUNT, static_cast<int16_t>(xy.size() / 2));
    for (size_t i = 0; i < xy.size(); ++i)
        writeU16(packet.data(), plotPacket::INLINE_PAIRS + i * 2, xy[i]);
    return send(33);
}

int16_t PlotRequestTest::query(double width, double height, double stepsX, double stepsY) {
    std::vector<uint8_t> record(plotAreaPacket::SIZE, 0);
    writeF64(record.data(), plotAreaPacket::WIDTH, width);
    writeF64(record.data(), plotAreaPacket::HEIGHT, height);
    writeF64(record.data(), plotAreaPacket::UNITS_X, stepsX);
    writeF64(record.data(), plotAreaPacket::UNITS_Y, stepsY);
    return send(48, record);
}

std::string PlotRequestTest::preambleFor(const PlotSettings& stored) {
    host = testing::RecordingHost{};
    host.install();
    prepare(stored);
    packet[plotPacket::LINE_TYPE_COUNT] = 6;
    send(43);
    query(1e6, 1e6, 1016, 1016);
    setPlotArea(33.0, 22.0);
    EXPECT_EQ(0, beginPlot());
    std::string preamble = staged();
    endPlot();
    return preamble;
}

void PlotRequestTest::prepare(const PlotSettings& stored, double width, double height) {
    initialise();
    setLanguage();
    ASSERT_EQ(0, loadSettings(stored));
    setPlotArea(width, height);
}

std::string PlotRequestTest::staged() const {
    if (state.outputBuffer == nullptr) return "";
    return std::string(reinterpret_cast<const char*>(state.outputBuffer),
                       static_cast<size_t>(state.outputCount));
}

}  // namespace tavix::plottest
