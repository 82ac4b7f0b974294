#include "plotRun.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "driverMessages.h"
#include "imageRows.h"
#include "platform/hostAddress.h"
#include "pngImage.h"
#include "tavix/packet.h"

namespace tavix::host {
namespace {

constexpr int16_t HOST_RELEASE = 3;

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

class Plotter {
public:
    Plotter(HostSession& s, HostConfig& c, const PlotOptions& o) : session(s), config(c), options(o) {}

    PlotOutcome run(const Drawing& drawing) {
        if (!setUp()) return outcome;
        if (!sendDrawing(drawing)) {
            endPlot();
            return outcome;
        }
        if (!endPlot()) return outcome;
        outcome.ok = true;
        return outcome;
    }

    PlotOutcome run(const DrawingProducer& producer) {
        if (!setUp()) return outcome;
        RequestSender sender = [this](const DrawingRequest& r, std::string& why) {
            bool ok = sendRequest(r);
            if (!ok) why = outcome.error;
            return ok;
        };
        std::string why;
        if (!producer(areaWidth * config.stepsPerInch, areaHeight * config.stepsPerInch, config.stepsPerInch,
                      sender, why)) {
            if (outcome.error.empty()) outcome.error = why;
            endPlot();
            return outcome;
        }
        if (!endPlot()) return outcome;
        outcome.ok = true;
        return outcome;
    }

private:
    bool fail(const std::string& why) {
        std::string driver = lastMessage(session, firstMessage);
        outcome.error = driver.empty() ? why : why + ": " + driver;
        return false;
    }

    bool setUp() {
        Packet p = request(49);
        writeI16(p.data(), 4, 1);
        p[7] = 2;
        session.plot(p);
        if (readI16(p.data(), 10) != 0) return fail("the driver refused to initialise");

        p = request(50);
        std::strncpy(reinterpret_cast<char*>(p.data() + 8), options.language.c_str(), 8);
        session.plot(p);

        p = request(29);
        writeI16(p.data(), 4, HOST_RELEASE);
        writeU32(p.data(), 11, 0);
        session.plot(p);
        if (readI16(p.data(), 0) != 0) return fail("the driver could not load its settings");

        // Ask for the configured area; a larger request than the paper gives
        // the maximum back.
        p = request(48);
        writeU32(p.data(), 5, 0);
        double width = config.plotWidth > 0 ? config.plotWidth : 1e6;
        double height = config.plotHeight > 0 ? config.plotHeight : 1e6;
        writeF64(p.data(), 9, width);
        writeF64(p.data(), 17, height);
        writeF64(p.data(), 41, config.stepsPerInch);
        writeF64(p.data(), 49, config.stepsPerInch);
        session.plot(p);
        if (readI16(p.data(), 0) != 19) return fail("the driver refused the plot area");
        width = readF64(p.data(), 9);
        height = readF64(p.data(), 17);

        if (options.deviceDialog) {
            if (options.beforeDeviceDialog) options.beforeDeviceDialog();
            p = request(46);
            session.plot(p);
            if (readI16(p.data(), 0) != 19) return fail("the plot configuration failed");
            width = readF64(p.data(), 9);
            height = readF64(p.data(), 17);
            config.stepsPerInch = readF64(p.data(), 41);
            config.block = session.storedBlock;
            config.hasBlock = session.hasStoredBlock;
        }

        areaWidth = width;
        areaHeight = height;
        p = request(47);
        writeU32(p.data(), 5, 0);
        writeF64(p.data(), 9, width);
        writeF64(p.data(), 17, height);
        session.plot(p);
        if (readI16(p.data(), 0) == -1) return fail("the driver refused the plot area");

        if (options.showSummary) {
            // The settings summary: shown, and not a reason for a later failure.
            p = request(31);
            session.plot(p);
            firstMessage = session.messages.size();
        }

        p = request(30);
        session.plot(p);
        if (readI16(p.data(), 0) != 0) return fail("the plot could not begin");
        return true;
    }

    bool coordinate(const DrawingRequest& r, size_t index, uint16_t& out) {
        if (toHostUnits(r.coords[index], r.unit, config.stepsPerInch, out)) return true;
        static const char* const unitNames[] = {"", " mm", " in"};
        char value[64];
        std::snprintf(value, sizeof value, "%g%s", r.coords[index], unitNames[static_cast<int>(r.unit)]);
        char limit[64];
        std::snprintf(limit, sizeof limit, "%g", 65535 / config.stepsPerInch);
        return fail("line " + std::to_string(r.line) + ": coordinate " + value +
                    " is beyond the host's 65535 units (" + limit + " in at this paper's resolution)");
    }

    bool checked(const Packet& p, const DrawingRequest& r) {
        if (readI16(p.data(), 0) == -1)
            return fail("line " + std::to_string(r.line) + ": the driver failed the request");
        return true;
    }

    bool sendFill(const DrawingRequest& r) {
        size_t count = r.coords.size() / 2;
        std::vector<uint16_t> xy(r.coords.size());
        for (size_t i = 0; i < r.coords.size(); ++i)
            if (!coordinate(r, i, xy[i])) return false;
        std::vector<uint8_t>& vertices = vertexBuffer;
        vertices.assign(4 * count, 0);
        for (size_t i = 0; i < count; ++i) {
            writeU16(vertices.data(), 4 * i, xy[2 * i]);
            writeU16(vertices.data(), 4 * i + 2, xy[2 * i + 1]);
        }
        std::vector<uint8_t> packet(std::max<size_t>(PACKET_SIZE, 12 + vertices.size()), 0);
        if (r.op == DrawingOp::Fill) {
            // Code 33 carries the vertices inside the request.
            writeI16(packet.data(), 0, 33);
            writeI16(packet.data(), 6, static_cast<int16_t>(r.value));
            writeI16(packet.data(), 10, static_cast<int16_t>(count));
            std::copy(vertices.begin(), vertices.end(), packet.begin() + 12);
        } else {
            // Code 54 points at them.
            writeI16(packet.data(), 0, 54);
            writeI16(packet.data(), 4, static_cast<int16_t>(r.value));
            writeI16(packet.data(), 6, static_cast<int16_t>(count));
            writeU32(packet.data(), 8, hostAddressOf(vertices.data()));
        }
        session.plotBytes(packet.data());
        if (readI16(packet.data(), 0) == -1)
            return fail("line " + std::to_string(r.line) + ": the driver failed the fill");
        return true;
    }

    bool sendImage(const DrawingRequest& r) {
        std::string path = joinPath(options.baseDir, r.file);
        auto found = images.find(path);
        if (found == images.end()) {
            RgbImage image;
            std::string error;
            if (!loadPng(path, image, error)) return fail("line " + std::to_string(r.line) + ": " + error);
            found = images.emplace(path, std::move(image)).first;
        }
        uint16_t c[4];
        for (size_t i = 0; i < 4; ++i)
            if (!coordinate(r, i, c[i])) return false;
        const RgbImage& image = found->second;
        rows = std::make_unique<ImageRowSource>(image, r.image.bitonal, c[0], c[1], c[2], c[3]);
        // The driver fetches the rows when the next request comes.
        if (options.progress)
            rows->onRow = [this, stage = "image, line " + std::to_string(r.line)](double done) {
                options.progress(done, stage);
            };
        Packet p = request(52);
        writeU32(p.data(), 4, ImageRowSource::rowSourceAddress());
        writeU32(p.data(), 8, ImageRowSource::rowReleaseAddress());
        writeI32(p.data(), 12, static_cast<int32_t>(r.line));
        writeI32(p.data(), 16, c[0]);
        writeI32(p.data(), 20, c[1]);
        writeI32(p.data(), 24, c[2]);
        writeI32(p.data(), 28, c[3]);
        writeI32(p.data(), 32, r.image.bitonal ? 0 : 1);
        writeI32(p.data(), 36, image.width);
        writeI32(p.data(), 40, image.height);
        writeI16(p.data(), 44, r.image.transparency);
        writeI16(p.data(), 46, r.image.bitonal ? 1 : 24);
        writeI16(p.data(), 48, static_cast<int16_t>(r.image.colourIndex));
        session.plot(p);
        return true;
    }

    // One request to the driver; false (with the reason) when it fails.
    bool sendRequest(const DrawingRequest& r) {
        Packet p{};
        uint16_t x, y;
        switch (r.op) {
            case DrawingOp::Move:
            case DrawingOp::Draw:
                if (!coordinate(r, 0, x) || !coordinate(r, 1, y)) return false;
                writeI16(p.data(), 0, r.op == DrawingOp::Move ? 3 : 4);
                writeU16(p.data(), 4, x);
                writeU16(p.data(), 6, y);
                break;
            case DrawingOp::Lift: writeI16(p.data(), 0, 8); break;
            case DrawingOp::Pen:
                writeI16(p.data(), 0, 5);
                writeI16(p.data(), 4, static_cast<int16_t>(r.value));
                break;
            case DrawingOp::LineType:
                writeI16(p.data(), 0, 7);
                writeU16(p.data(), 4, static_cast<uint16_t>(r.value));
                break;
            case DrawingOp::LineTypes:
                writeI16(p.data(), 0, 36);
                writeI16(p.data(), 4, static_cast<int16_t>(r.value));
                break;
            case DrawingOp::Width:
                writeI16(p.data(), 0, 41);
                writeF64(p.data(), 4, r.widthInches);
                break;
            case DrawingOp::Abort: writeI16(p.data(), 0, 9); break;
            case DrawingOp::Fill:
            case DrawingOp::FillArray:
                if (!sendFill(r)) return false;
                ++outcome.requests;
                return true;
            case DrawingOp::Image:
                if (!sendImage(r)) return false;
                ++outcome.requests;
                return true;
        }
        session.plot(p);
        ++outcome.requests;
        return r.op == DrawingOp::Abort || checked(p, r);
    }

    bool sendDrawing(const Drawing& drawing) {
        size_t total = drawing.requests.size();
        for (size_t i = 0; i < total; ++i) {
            const DrawingRequest& r = drawing.requests[i];
            if (!sendRequest(r)) return false;
            if (options.progress && r.op != DrawingOp::Image)
                options.progress(static_cast<double>(i + 1) / static_cast<double>(total), "");
        }
        return true;
    }

    bool endPlot() {
        Packet p = request(2);
        session.plot(p);  // also prints an image announced last
        rows.reset();
        if (session.writeFailed) return fail("the printer file could not be written");
        return true;
    }

    HostSession& session;
    HostConfig& config;
    const PlotOptions& options;
    PlotOutcome outcome;
    size_t firstMessage = session.messages.size();
    double areaWidth = 0, areaHeight = 0;  // inches, as the driver agreed
    std::map<std::string, RgbImage> images;
    std::unique_ptr<ImageRowSource> rows;
    // One vertex buffer for every array fill, so its host address stays the same.
    std::vector<uint8_t> vertexBuffer = std::vector<uint8_t>(4 * 32768);
};

}  // namespace

PlotOutcome runPlot(HostSession& session, HostConfig& config, const DrawingProducer& producer,
                    const PlotOptions& options) {
    session.storedBlock = config.block;
    session.hasStoredBlock = config.hasBlock;
    return Plotter(session, config, options).run(producer);
}

PlotOutcome runPlot(HostSession& session, HostConfig& config, const Drawing& drawing,
                    const PlotOptions& options) {
    session.storedBlock = config.block;
    session.hasStoredBlock = config.hasBlock;
    return Plotter(session, config, options).run(drawing);
}

}  // namespace tavix::host
