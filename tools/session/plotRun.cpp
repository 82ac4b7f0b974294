#include "plotRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "driverMessages.h"
#include "pngImageRows.h"
#include "platform/hostAddress.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix::host {
namespace {

constexpr int16_t HOST_RELEASE = 3;
// Every request but a fill with its vertices inside fits these bytes; the
// rest of the packet is never read for them, so only these are cleared.
constexpr size_t REQUEST_BYTES = 128;
constexpr size_t MAX_FILL_VERTICES = 32767;

Packet request(int16_t code) {
    Packet p{};
    writeI16(p.data(), 0, code);
    return p;
}

// The driver's last message since the plot run began, for the user.
std::string lastMessage(const HostSession& session, size_t first) {
    for (size_t i = session.messages.size(); i > first; --i) {
        std::string text = messageForUser(session.messages[i - 1]);
        if (!text.empty()) return text;
    }
    return "";
}

std::string joinPath(const std::string& dir, const std::string& file) {
    if (file.empty() || file[0] == '/' || dir.empty()) return file;
    return dir + "/" + file;
}

std::string millimetres(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f mm", v);
    return text;
}

}  // namespace

// An announced image: its pixels and its row source stay until the driver
// has printed it, which happens when the next request arrives.
struct PlotRun::PendingImage {
    std::shared_ptr<const RgbImage> image;
    std::unique_ptr<PngImageRows> rows;
};

PlotRun::PlotRun(HostSession& session, HostConfig& config, const PlotOptions& options)
    : session_(session), config_(config), options_(options), firstMessage_(session.messages.size()),
      packet_(PACKET_SIZE), vertices_(4 * MAX_FILL_VERTICES) {
    session_.storedBlock = config_.block;
    session_.hasStoredBlock = config_.hasBlock;
}

PlotRun::~PlotRun() { abort(); }

bool PlotRun::fail(const std::string& why) {
    std::string driver = lastMessage(session_, firstMessage_);
    error_ = driver.empty() ? why : why + ": " + driver;
    return false;
}

bool PlotRun::failAt(const DrawingRequest& r, const std::string& why) {
    return fail("line " + std::to_string(r.line) + ": " + why);
}

bool PlotRun::begin() {
    begun_ = true;
    return setUp();
}

bool PlotRun::setUp() {
    Packet p = request(49);
    writeI16(p.data(), 4, 1);
    p[7] = 2;
    session_.plot(p);
    if (readI16(p.data(), 10) != 0) return fail("the driver refused to initialise");

    p = request(50);
    std::strncpy(reinterpret_cast<char*>(p.data() + 8), options_.language.c_str(), 8);
    session_.plot(p);

    p = request(29);
    writeI16(p.data(), 4, HOST_RELEASE);
    writeU32(p.data(), 11, 0);
    session_.plot(p);
    if (readI16(p.data(), 0) != 0) return fail("the driver could not load its settings");
    if (!agreePlotArea()) return false;

    if (options_.showSummary) {
        // The settings summary: shown, and not a reason for a later failure.
        p = request(31);
        session_.messagesInEnglish = options_.summaryInEnglish;
        session_.plot(p);
        session_.messagesInEnglish = false;
        firstMessage_ = session_.messages.size();
    }

    p = request(30);
    session_.plot(p);
    if (readI16(p.data(), 0) != 0) return fail("the plot could not begin");
    return true;
}

// Asks for the configured area (a larger request than the paper gives the
// maximum back), lets the device dialog change it on request, and sets it.
bool PlotRun::agreePlotArea() {
    Packet p = request(48);
    writeU32(p.data(), 5, 0);
    double width = config_.plotWidth > 0 ? config_.plotWidth : 1e6;
    double height = config_.plotHeight > 0 ? config_.plotHeight : 1e6;
    writeF64(p.data(), 9, width);
    writeF64(p.data(), 17, height);
    writeF64(p.data(), 41, config_.stepsPerInch);
    writeF64(p.data(), 49, config_.stepsPerInch);
    session_.plot(p);
    if (readI16(p.data(), 0) != 19) return fail("the driver refused the plot area");
    width = readF64(p.data(), 9);
    height = readF64(p.data(), 17);

    if (options_.deviceDialog) {
        if (options_.beforeDeviceDialog) options_.beforeDeviceDialog();
        p = request(46);
        session_.plot(p);
        if (readI16(p.data(), 0) != 19) return fail("the plot configuration failed");
        width = readF64(p.data(), 9);
        height = readF64(p.data(), 17);
        config_.stepsPerInch = readF64(p.data(), 41);
        config_.block = session_.storedBlock;
        config_.hasBlock = session_.hasStoredBlock;
    }

    p = request(47);
    writeU32(p.data(), 5, 0);
    writeF64(p.data(), 9, width);
    writeF64(p.data(), 17, height);
    session_.plot(p);
    if (readI16(p.data(), 0) == -1) return fail("the driver refused the plot area");
    plotWidth_ = width;
    plotHeight_ = height;
    // Points up to the area's edge, less what the rounding of its size may
    // take away, are inside.
    auto last = [this](double inches) {
        double edge = std::floor(inches * config_.stepsPerInch + 0.05 * config_.stepsPerInch / 25.4);
        return edge >= 65535 ? 65535.0 : std::max(edge, 0.0);
    };
    areaX_ = last(width);
    areaY_ = last(height);
    return true;
}

bool PlotRun::coordinate(const DrawingRequest& r, size_t index, uint16_t& out) {
    if (toHostUnits(r.coords[index], r.unit, config_.stepsPerInch, out)) return true;
    return coordinateRefused(r, index);
}

bool PlotRun::coordinateRefused(const DrawingRequest& r, size_t index) {
    static const char* const unitNames[] = {"", " mm", " in"};
    char value[64];
    std::snprintf(value, sizeof value, "%g%s", r.coords[index], unitNames[static_cast<int>(r.unit)]);
    char limit[64];
    std::snprintf(limit, sizeof limit, "%g", 65535 / config_.stepsPerInch);
    return failAt(r, std::string("coordinate ") + value + " is beyond the host's 65535 units (" + limit +
                         " in at this paper's resolution)");
}

// The printer clips what lies beyond the plot area: the first such point is
// named, and the summary says how many and how far.
void PlotRun::notePoint(const DrawingRequest& r, uint16_t x, uint16_t y) {
    ++clip_.points;
    if (x > areaX_ || y > areaY_) noteBeyond(r, x, y);
}

void PlotRun::noteBeyond(const DrawingRequest& r, uint16_t x, uint16_t y) {
    double perMm = config_.stepsPerInch / 25.4;
    double overX = x - plotWidth_ * config_.stepsPerInch, overY = y - plotHeight_ * config_.stepsPerInch;
    double over = std::max(overX, overY) / perMm;
    if (clip_.beyond++ == 0 && options_.warn) {
        char text[160];
        std::snprintf(text, sizeof text, "line %d: beyond the plot area (%.1f x %.1f mm): the point (%.1f, %.1f) mm",
                      r.line, plotWidth_ * 25.4, plotHeight_ * 25.4, x / perMm, y / perMm);
        options_.warn(text);
    }
    clip_.farthestMm = std::max(clip_.farthestMm, over);
}

std::string PlotRun::clipWarning() const {
    if (clip_.beyond == 0) return "";
    return std::to_string(clip_.beyond) + " of " + std::to_string(clip_.points) +
           " points lie beyond the plot area, by up to " + millimetres(clip_.farthestMm) +
           "; the printer clips what lies outside it";
}

int PlotRun::plot(int16_t code) {
    writeI16(packet_.data(), 0, code);
    int result = session_.plotBytes(packet_.data());
    // The call printed any image announced before it.
    releasePrintedImages(code == 52 ? nextHostValue_ - 1 : 0);
    return result;
}

void PlotRun::releasePrintedImages(int32_t keep) {
    if (images_.empty()) return;
    images_.erase(std::remove_if(images_.begin(), images_.end(),
                                 [keep](const auto& i) { return i->rows->hostValue() != keep; }),
                  images_.end());
}

bool PlotRun::send(const DrawingRequest& r) {
    if (ended_ || aborted_) return fail("the plot has ended");
    ++requests_;
    // A vector request is read at offsets 0 to 7 only.
    bool vector = r.op == DrawingOp::Move || r.op == DrawingOp::Draw;
    std::fill(packet_.begin(), packet_.begin() + (vector ? 8 : REQUEST_BYTES), 0);
    switch (r.op) {
        case DrawingOp::Move:
        case DrawingOp::Draw: return sendVector(r);
        case DrawingOp::Lift: plot(8); break;
        case DrawingOp::Pen:
            writeI16(packet_.data(), 4, static_cast<int16_t>(r.value));
            plot(5);
            break;
        case DrawingOp::LineType:
            writeU16(packet_.data(), 4, static_cast<uint16_t>(r.value));
            plot(7);
            break;
        case DrawingOp::LineTypes:
            writeI16(packet_.data(), 4, static_cast<int16_t>(r.value));
            plot(36);
            break;
        case DrawingOp::Width:
            writeF64(packet_.data(), 4, r.widthInches);
            plot(41);
            break;
        case DrawingOp::Fill:
        case DrawingOp::FillArray: return sendFill(r);
        case DrawingOp::Image: return sendImage(r);
        case DrawingOp::Abort:
            // Nothing more is sent but the end of plot (abort()).
            plot(9);
            aborted_ = true;
            return failAt(r, "the plot was aborted");
    }
    if (readI16(packet_.data(), 0) == -1) return failAt(r, "the driver failed the request");
    return true;
}

bool PlotRun::sendVector(const DrawingRequest& r) {
    uint16_t x, y;
    if (!coordinate(r, 0, x) || !coordinate(r, 1, y)) return false;
    notePoint(r, x, y);
    if (r.op == DrawingOp::Draw) ++drawingRequests_;
    writeU16(packet_.data(), 4, x);
    writeU16(packet_.data(), 6, y);
    plot(r.op == DrawingOp::Move ? 3 : 4);
    if (readI16(packet_.data(), 0) == -1) return failAt(r, "the driver failed the request");
    return true;
}

bool PlotRun::sendFill(const DrawingRequest& r) {
    size_t count = r.coords.size() / 2;
    xy_.resize(r.coords.size());
    for (size_t i = 0; i < r.coords.size(); ++i)
        if (!coordinate(r, i, xy_[i])) return false;
    for (size_t i = 0; i < count; ++i) notePoint(r, xy_[2 * i], xy_[2 * i + 1]);
    ++drawingRequests_;
    for (size_t i = 0; i < count; ++i) {
        writeU16(vertices_.data(), 4 * i, xy_[2 * i]);
        writeU16(vertices_.data(), 4 * i + 2, xy_[2 * i + 1]);
    }
    if (r.op == DrawingOp::Fill) {
        // Code 33 carries the vertices inside the request.
        size_t size = std::max<size_t>(PACKET_SIZE, 12 + 4 * count);
        if (packet_.size() < size) packet_.resize(size);
        writeI16(packet_.data(), 6, static_cast<int16_t>(r.value));
        writeI16(packet_.data(), 10, static_cast<int16_t>(count));
        std::copy(vertices_.begin(), vertices_.begin() + static_cast<std::ptrdiff_t>(4 * count), packet_.begin() + 12);
        plot(33);
    } else {
        // Code 54 points at them.
        writeI16(packet_.data(), 4, static_cast<int16_t>(r.value));
        writeI16(packet_.data(), 6, static_cast<int16_t>(count));
        writeU32(packet_.data(), 8, hostAddressOf(vertices_.data()));
        plot(54);
    }
    if (readI16(packet_.data(), 0) == -1) return failAt(r, "the driver failed the fill");
    return true;
}

// The last image read stays at hand: a drawing that repeats one image reads
// it once, and memory holds at most that one and those still pending.
bool PlotRun::loadImage(const DrawingRequest& r, std::shared_ptr<const RgbImage>& image) {
    std::string path = joinPath(options_.baseDir, r.file);
    if (lastImage_ && path == lastImagePath_) {
        image = lastImage_;
        return true;
    }
    lastImage_.reset();
    auto loaded = std::make_shared<RgbImage>();
    std::string error;
    if (!loadPng(path, *loaded, error)) return failAt(r, error);
    lastImage_ = image = std::move(loaded);
    lastImagePath_ = path;
    return true;
}

bool PlotRun::sendImage(const DrawingRequest& r) {
    uint16_t c[4];
    for (size_t i = 0; i < 4; ++i)
        if (!coordinate(r, i, c[i])) return false;
    if (!(c[0] < c[2] && c[1] < c[3])) return failAt(r, "the image rectangle X0 Y0 X1 Y1 needs X0 < X1 and Y0 < Y1");
    notePoint(r, c[0], c[1]);
    notePoint(r, c[2], c[3]);
    auto pending = std::make_unique<PendingImage>();
    if (!loadImage(r, pending->image)) return false;
    ++drawingRequests_;
    const RgbImage& image = *pending->image;
    int32_t hostValue = nextHostValue_++;
    pending->rows = std::make_unique<PngImageRows>(image, r.image.bitonal, c[0], c[1], c[2], c[3], hostValue);
    // The driver fetches the rows when the next request comes.
    if (options_.progress)
        pending->rows->onRow = [this, stage = "image, line " + std::to_string(r.line)](double done) {
            options_.progress(done, stage);
        };
    images_.push_back(std::move(pending));
    writeU32(packet_.data(), 4, ImageRowSource::rowSourceAddress());
    writeU32(packet_.data(), 8, ImageRowSource::rowReleaseAddress());
    writeI32(packet_.data(), 12, hostValue);
    writeI32(packet_.data(), 16, c[0]);
    writeI32(packet_.data(), 20, c[1]);
    writeI32(packet_.data(), 24, c[2]);
    writeI32(packet_.data(), 28, c[3]);
    writeI32(packet_.data(), 32, r.image.bitonal ? 0 : 1);
    writeI32(packet_.data(), 36, image.width);
    writeI32(packet_.data(), 40, image.height);
    writeI16(packet_.data(), 44, r.image.transparency);
    writeI16(packet_.data(), 46, r.image.bitonal ? 1 : 24);
    writeI16(packet_.data(), 48, static_cast<int16_t>(r.image.colourIndex));
    plot(52);
    return true;
}

bool PlotRun::finish() {
    if (ended_ || aborted_) {
        abort();
        return error_.empty() ? fail("the plot has ended") : false;
    }
    ended_ = true;
    std::fill(packet_.begin(), packet_.begin() + REQUEST_BYTES, 0);
    plot(2);  // also prints an image announced last
    images_.clear();
    if (session_.writeFailed) return fail("the printer file could not be written");
    return true;
}

void PlotRun::abort() {
    if (!begun_ || ended_) return;
    ended_ = true;
    std::fill(packet_.begin(), packet_.begin() + REQUEST_BYTES, 0);
    plot(2);
    images_.clear();
}

PlotOutcome runPlot(HostSession& session, HostConfig& config, const Drawing& drawing,
                    const PlotOptions& options) {
    PlotOutcome outcome;
    PlotRun run(session, config, options);
    bool ok = run.begin();
    size_t total = drawing.requests.size();
    for (size_t i = 0; ok && i < total; ++i) {
        ok = run.send(drawing.requests[i]);
        if (options.progress) options.progress(static_cast<double>(i + 1) / static_cast<double>(total), "");
    }
    if (ok) ok = run.finish();
    else run.abort();
    outcome.ok = ok;
    outcome.error = run.error();
    outcome.requests = run.requests();
    return outcome;
}

}  // namespace tavix::host
