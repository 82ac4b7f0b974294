#include "hostConfig.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tavix::host {
namespace {

bool parseDouble(const std::string& text, double& out) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

std::string shortest(double v) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

}  // namespace

bool loadHostConfig(const std::string& path, HostConfig& config, bool& exists, std::string& error) {
    config = HostConfig{};
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    if (!exists) return true;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t eq = line.find('=');
        auto bad = [&](const std::string& what) {
            error = path + ":" + std::to_string(number) + ": " + what;
            return false;
        };
        if (eq == std::string::npos) return bad("expected key=value");
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "block") {
            if (value.size() != 80) return bad("block needs 80 hex digits");
            for (int i = 0; i < 40; ++i) {
                unsigned byte = 0;
                auto r = std::from_chars(value.data() + 2 * i, value.data() + 2 * i + 2, byte, 16);
                if (r.ec != std::errc() || r.ptr != value.data() + 2 * i + 2) return bad("block is not hex");
                config.block[static_cast<size_t>(i)] = static_cast<uint8_t>(byte);
            }
            config.hasBlock = true;
        } else if (key == "plotWidth" || key == "plotHeight" || key == "stepsPerInch") {
            double v;
            if (!parseDouble(value, v) || v <= 0) return bad(key + " needs a positive number");
            if (key == "plotWidth") config.plotWidth = v;
            else if (key == "plotHeight") config.plotHeight = v;
            else config.stepsPerInch = v;
        } else {
            return bad("unknown key '" + key + "'");
        }
    }
    return true;
}

bool saveHostConfig(const std::string& path, const HostConfig& config, std::string& error) {
    std::ostringstream text;
    text << "# tavix host configuration: the driver's stored settings block and the\n"
            "# device values of the last configuration run.\n";
    if (config.hasBlock) {
        text << "block=";
        char hex[3];
        for (uint8_t b : config.block) {
            std::snprintf(hex, sizeof hex, "%02x", b);
            text << hex;
        }
        text << "\n";
    }
    if (config.plotWidth > 0) text << "plotWidth=" << shortest(config.plotWidth) << "\n";
    if (config.plotHeight > 0) text << "plotHeight=" << shortest(config.plotHeight) << "\n";
    text << "stepsPerInch=" << shortest(config.stepsPerInch) << "\n";
    std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            error = "cannot write " + temp;
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = "cannot replace " + path;
        return false;
    }
    return true;
}

}  // namespace tavix::host
