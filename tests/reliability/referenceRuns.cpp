#include "tests/reliability/referenceRuns.h"

#include <cstring>

#include "platform/hostAddress.h"
#include "platform/native/scriptedUser.h"
#include "support/imageRequestPacket.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix::reliability {
namespace {

namespace user = native::scriptedUser;

// ---- Row functions -----------------------------------------------------------

constexpr int MAX_ROW_PIXELS = 4096;

struct RowHost {
    RowFaults faults;
    RowCalls calls;
    bool outstanding = false;
    uint8_t reply[16] = {};
    uint8_t pixels[3 * MAX_ROW_PIXELS] = {};
};

RowHost rows;

// The pixels of the row a query asks for: a band of columns along Y, or of
// rows along X (landscape paper).
int32_t pixelsOf(const uint8_t* query) {
    const bool alongX = readI32(query, rowQuery::DIRECTION) == DIRECTION_ALONG_X;
    int32_t count = alongX ? readI32(query, rowQuery::LAST_ROW) - readI32(query, rowQuery::FIRST_ROW) + 1
                           : readI32(query, rowQuery::LAST_COLUMN) - readI32(query, rowQuery::FIRST_COLUMN) + 1;
    if (count < 0) count = 0;
    return count > MAX_ROW_PIXELS ? MAX_ROW_PIXELS : count;
}

// Row content from the query alone: RGB bands with white gaps (the key
// colour and blank stretches), or a bitonal checker. Returns the bytes.
int32_t fillRow(const uint8_t* query, int32_t count) {
    const bool alongX = readI32(query, rowQuery::DIRECTION) == DIRECTION_ALONG_X;
    const int32_t row = readI32(query, alongX ? rowQuery::FIRST_COLUMN : rowQuery::FIRST_ROW);
    const bool bitonal = readI32(query, rowQuery::KIND) == 1;
    for (int32_t i = 0; i < count; ++i) {
        if (bitonal) {
            rows.pixels[i] = static_cast<uint8_t>(((i / 4) + (row / 3)) % 2);
        } else if ((i / 16 + row / 8) % 3 == 0) {
            std::memset(rows.pixels + 3 * i, 255, 3);
        } else {
            rows.pixels[3 * i] = static_cast<uint8_t>(i * 7 + row * 3);
            rows.pixels[3 * i + 1] = static_cast<uint8_t>(255 - i * 5);
            rows.pixels[3 * i + 2] = static_cast<uint8_t>(row * 11);
        }
    }
    return bitonal ? count : 3 * count;
}

ImageRowReplyAddress TAVIX_CDECL rowSource(void* queryPointer) {
    const uint8_t* query = static_cast<const uint8_t*>(queryPointer);
    const int call = rows.calls.queries++;
    if (rows.outstanding) ++rows.calls.queriesWhileOutstanding;
    if (state.errorLatch != 0) ++rows.calls.queriesWhileLatched;
    const size_t image = static_cast<size_t>(readI32(query, rowQuery::HOST_VALUE));
    if (rows.calls.queriesPerImage.size() <= image) rows.calls.queriesPerImage.resize(image + 1);
    ++rows.calls.queriesPerImage[image];
    const int32_t pixels = pixelsOf(query);
    const int32_t bytes = fillRow(query, pixels);
    rows.calls.pixelsAsked.push_back(pixels);
    rows.calls.bytesGiven.push_back(bytes);
    if (call == rows.faults.missingAt) return 0;

    std::memset(rows.reply, 0, sizeof rows.reply);
    writeU32(rows.reply, rowReply::PIXELS, hostAddressOf(rows.pixels));
    writeI32(rows.reply, rowReply::COUNT, bytes);
    if (call == rows.faults.stopAt) writeI16(rows.reply, rowReply::STOP_FLAG, 1);
    if (call == rows.faults.errorAt) writeI16(rows.reply, rowReply::ERROR_FLAG, 1);
    rows.outstanding = true;
    return hostAddressOf(rows.reply);
}

void TAVIX_CDECL rowRelease(ImageRowReplyAddress reply) {
    if (reply != hostAddressOf(rows.reply) || !rows.outstanding) {
        ++rows.calls.strayReleases;
        return;
    }
    rows.outstanding = false;
    ++rows.calls.releases;
}

// ---- Packets -------------------------------------------------------------------

std::vector<uint8_t> packet(int16_t code, size_t size) {
    std::vector<uint8_t> p(size, 0);
    writeI16(p.data(), PACKET_STATUS, code);
    return p;
}

std::vector<uint8_t> point(int16_t code, uint16_t x, uint16_t y) {
    std::vector<uint8_t> p = packet(code, 8);
    writeU16(p.data(), plotPacket::X, x);
    writeU16(p.data(), plotPacket::Y, y);
    return p;
}

std::vector<uint8_t> withI16(int16_t code, int16_t value) {
    std::vector<uint8_t> p = packet(code, 8);
    writeI16(p.data(), plotPacket::VALUE, value);
    return p;
}

struct ImageFields {
    int32_t hostValue;
    int32_t x0, y0, x1, y1;
    int32_t kind, sourceWidth, sourceHeight;
    int16_t transparency, depth, colorIndex;
};

std::vector<uint8_t> imageRequest(const ImageFields& s) {
    return testing::imageRequestPacket(s, reinterpret_cast<const void*>(&rowSource),
                                       reinterpret_cast<const void*>(&rowRelease), 0);
}

// A deterministic walk of moves, draws and lifts (with repeated points, so
// that the redundant-point rule takes part), with pen, line-type and width
// changes between them.
void addVectors(std::vector<std::vector<uint8_t>>& out, int count, uint32_t& seed) {
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    uint16_t x = 4000, y = 3000;
    for (int i = 0; i < count; ++i) {
        if (i % 97 == 0) out.push_back(withI16(5, static_cast<int16_t>(1 + next() % 8)));
        if (i % 151 == 0) out.push_back(withI16(7, static_cast<int16_t>(next() % 9)));
        if (i % 211 == 0) {
            std::vector<uint8_t> p = packet(41, 12);
            writeF64(p.data(), plotPacket::VALUE, 0.002 * (1 + next() % 20));
            out.push_back(p);
        }
        uint32_t r = next();
        if (r % 13 != 0) {  // every 13th request repeats the point
            x = static_cast<uint16_t>(1000 + (x + r % 1201 - 600 + 28000) % 28000);
            y = static_cast<uint16_t>(1000 + (y + (r >> 11) % 801 - 400 + 18000) % 18000);
        }
        switch (r % 10) {
            case 0:
            case 1: out.push_back(point(3, x, y)); break;
            case 2: out.push_back(packet(8, 4)); break;
            default: out.push_back(point(4, x, y)); break;
        }
    }
}

std::vector<uint8_t> fillInline(int16_t colour, const std::vector<uint16_t>& xy) {
    std::vector<uint8_t> p = packet(33, 12 + 2 * xy.size());
    writeI16(p.data(), plotPacket::INLINE_PEN, colour);
    writeI16(p.data(), plotPacket::INLINE_COUNT, static_cast<int16_t>(xy.size() / 2));
    for (size_t i = 0; i < xy.size(); ++i)
        writeU16(p.data(), plotPacket::INLINE_PAIRS + 2 * i, xy[i]);
    return p;
}

int16_t answerOf(int16_t code, const uint8_t* p) {
    return readI16(p, code == 49 ? identifyPacket::STATUS : PACKET_STATUS);
}

template <typename Entry>
RequestRecord send(testing::RecordingHost& host, Entry entry, std::vector<uint8_t>& work,
                   const std::vector<uint8_t>& request) {
    work.assign(request.begin(), request.end());
    RequestRecord r{};
    r.code = readI16(request.data(), PACKET_STATUS);
    r.latchBefore = state.errorLatch;
    r.writesBefore = host.writeCalls;
    r.penState = state.penState;
    r.previousPenState = state.previousPenState;
    r.penReselect = state.penReselect;
    r.bufferHeld = state.outputBuffer != nullptr;
    r.lastHostX = state.lastHostX;
    r.lastHostY = state.lastHostY;
    if (request.size() >= 8) {
        r.x = readU16(request.data(), plotPacket::X);
        r.y = readU16(request.data(), plotPacket::Y);
    }
    entry(work.data());
    r.answer = answerOf(r.code, work.data());
    r.latchAfter = state.errorLatch;
    r.writesAfter = host.writeCalls;
    return r;
}

void fillBlockDefaults(PlotSettings& s) {
    s.setStampFontSize(4);
    s.setStampPosition(0);
    s.setMediaType(0);
    s.setTray(0);
}

std::string thousandths(int t) {
    std::string fraction = std::to_string(t % 1000);
    return std::to_string(t / 1000) + "." + std::string(3 - fraction.size(), '0') + fraction;
}

template <typename GrayList, typename Width, typename Gray>
std::string penFile(GrayList grayList, const std::string& comment, const std::string& drawName,
                    Width width, Gray gray) {
    std::string out;
    for (int pen = 1; pen <= 255; ++pen)
        out += "PenGray" + std::to_string(pen) + "=" + std::to_string(grayList(pen)) + "\r\n";
    out += "Comment=" + comment + "\r\n";
    out += "DrawName=" + drawName + "\r\n";
    for (int pen = 1; pen <= 255; ++pen) {
        out += "LumenWide" + std::to_string(pen) + "=" + width(pen) + "\r\n";
        out += "LumenGray" + std::to_string(pen) + "=" + std::to_string(gray(pen)) + "\r\n";
    }
    return out;
}

}  // namespace

void resetRows(const RowFaults& faults) {
    rows.faults = faults;
    rows.calls = RowCalls{};
    rows.outstanding = false;
}

const RowCalls& rowCalls() { return rows.calls; }

PlotSettings referencePlotSettings() {
    PlotSettings s{};
    s.setCopies(2);
    s.setPaperSize(1);
    s.setFlagByte(0, 0x40);  // centering; 7-bit PE, no serial line
    s.setFlagByte(1, 0x02);  // pen settings on
    s.setFlagByte(2, 0xA3);  // colour, stamp, plot margin, Option output
    s.setFlagByte(3, 0x00);
    s.setLineEnd(1);
    s.setDensity(15);
    fillBlockDefaults(s);
    s.setModelIndex(0);
    return s;
}

PlotSettings referenceStoredBlock() {
    PlotSettings s{};
    s.setCopies(3);
    s.setPaperSize(2);
    s.setFlagByte(0, 0x60);
    s.setFlagByte(1, 0x00);
    s.setFlagByte(2, 0x83);
    s.setFlagByte(3, 0x02);  // its paper 2 is wider than high
    s.setLineEnd(1);
    s.setDensity(20);
    fillBlockDefaults(s);
    s.setModelIndex(2);  // TX-30
    return s;
}

ReferencePlot::ReferencePlot(const PlotShape& shape) {
    auto& out = packets_;
    std::vector<uint8_t> p = packet(49, 167);
    writeI16(p.data(), identifyPacket::CALLER, 1);  // AutoCAD
    p[identifyPacket::RELEASE] = 14;
    out.push_back(p);
    p = packet(50, 16);
    std::memcpy(p.data() + languagePacket::CODE, "ja", 2);
    out.push_back(p);
    p = packet(29, 16);
    writeI16(p.data(), releasePacket::RELEASE, 3);
    writeU32(p.data(), releasePacket::HOST_WINDOW, 0x00010203);
    out.push_back(p);
    // A larger area than the paper: the maximum comes back.
    p = packet(48, 267);
    writeF64(p.data(), plotAreaPacket::WIDTH, 1e6);
    writeF64(p.data(), plotAreaPacket::HEIGHT, 1e6);
    writeF64(p.data(), plotAreaPacket::UNITS_X, 1016);
    writeF64(p.data(), plotAreaPacket::UNITS_Y, 1016);
    out.push_back(p);
    if (shape.configureDialog) out.push_back(packet(46, 267));
    p = packet(47, 267);
    writeF64(p.data(), plotAreaPacket::WIDTH, 33.0);
    writeF64(p.data(), plotAreaPacket::HEIGHT, 22.0);
    out.push_back(p);
    out.push_back(packet(30, 4));

    uint32_t seed = shape.seed;
    out.push_back(withI16(5, 1));
    addVectors(out, shape.vectors / 2, seed);
    out.push_back(fillInline(3, {2000, 2000, 6000, 2000, 6000, 5000, 4000, 7000, 2000, 5000}));

    const uint16_t array[] = {8000, 8000, 12000, 8000, 14000, 10000, 12000, 12000, 8000, 12000, 7000, 10000};
    vertices_.assign(sizeof array, 0);
    for (size_t i = 0; i < sizeof array / sizeof array[0]; ++i) writeU16(vertices_.data(), 2 * i, array[i]);
    p = packet(54, 12);
    writeI16(p.data(), plotPacket::ARRAY_PEN, 5);
    writeI16(p.data(), plotPacket::ARRAY_COUNT, 6);
    writeU32(p.data(), plotPacket::ARRAY_ADDRESS, hostAddressOf(vertices_.data()));
    out.push_back(p);

    // An RGB image with key-colour transparency (which arms no outline).
    out.push_back(imageRequest({1, 1000, 2000, 1200, 2100, 8, 40, 20, 2, 24, 0}));
    // The rest of the drawing: its first request prints the image.
    addVectors(out, shape.vectors - shape.vectors / 2, seed);
    out.push_back(fillInline(4, {3000, 9000, 3500, 9000, 3500, 9500}));
    out.push_back(point(4, 3100, 9100));
    // A bitonal image printed by end plot.
    out.push_back(imageRequest({2, 5000, 5000, 5150, 5075, 0, 32, 16, 0, 1, 5}));
    out.push_back(packet(2, 4));
}

std::vector<RequestRecord> ReferencePlot::play(testing::RecordingHost& host) const {
    std::vector<RequestRecord> records;
    records.reserve(packets_.size());
    std::vector<uint8_t> work;
    work.reserve(4096);
    for (const std::vector<uint8_t>& request : packets_) {
        if (readI16(request.data(), PACKET_STATUS) == 46 && state.errorLatch == 0)
            user::expect("drivercfg", [](native::DialogDriver& d) { d.ok(); });
        records.push_back(send(host, PlotEntry, work, request));
    }
    return records;
}

std::vector<RequestRecord> playConfigurationRun(testing::RecordingHost& host) {
    std::vector<RequestRecord> records;
    std::vector<uint8_t> work;
    std::vector<uint8_t> p = packet(49, 167);
    writeI16(p.data(), identifyPacket::CALLER, 1);
    p[identifyPacket::RELEASE] = 2;
    records.push_back(send(host, ConfigEntry, work, p));
    p = packet(50, 16);
    std::memcpy(p.data() + languagePacket::CODE, "ja", 2);
    records.push_back(send(host, ConfigEntry, work, p));
    p = packet(11, 16);
    writeI16(p.data(), releasePacket::RELEASE, 3);
    writeU32(p.data(), releasePacket::HOST_WINDOW, 0x00010203);
    records.push_back(send(host, ConfigEntry, work, p));
    user::expect("modelcfg", [](native::DialogDriver& d) { d.ok(); });
    records.push_back(send(host, ConfigEntry, work, packet(20, 40)));
    if (state.errorLatch == 0) user::expect("detailcfg", [](native::DialogDriver& d) { d.ok(); });
    records.push_back(send(host, ConfigEntry, work, packet(21, 64)));
    records.push_back(send(host, ConfigEntry, work, packet(47, 4)));
    return records;
}

std::string referencePenFile() {
    return penFile([](int pen) { return pen * 13 % 101; }, "Reliability run", "REF-1",
                   [](int pen) { return thousandths(1 + pen * 37 % 2540); },
                   [](int pen) { return (pen * 7 + 3) % 101; });
}

std::string defaultPenFile() {
    return penFile([](int) { return 100; }, "", "", [](int) { return std::string("0.254"); },
                   [](int) { return 100; });
}

uint64_t streamHash(const std::string& bytes) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

}  // namespace tavix::reliability
