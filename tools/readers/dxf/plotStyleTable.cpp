#include "plotStyleTable.h"

#include <zlib.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <cmath>
#include <cstdint>
#include <memory>

#include "tavix/colorIndexPalette.h"

namespace tavix::dxf {
namespace {

constexpr std::string_view SIGNATURE = "PIAFILEVERSION_2.0,";
constexpr size_t HEADER = 48;               // the signature line and "pmzlibcodec"
constexpr size_t LARGEST_TEXT = 16 << 20;   // a table is a few tens of kilobytes
// Colours as tables keep them: the top byte says what the rest is.
constexpr uint32_t OBJECT_COLOUR = 0xFFFFFFFFu, OBJECT_COLOUR_ACI = 0xC3FFFFFFu;
constexpr uint32_t COLOUR_RGB = 0xC2, COLOUR_ACI = 0xC3;

bool looksLikeZlib(std::string_view b, size_t at) {
    if (b.size() < at + 2) return false;
    auto c0 = static_cast<unsigned char>(b[at]), c1 = static_cast<unsigned char>(b[at + 1]);
    return (c0 & 0x0F) == 8 && (c0 * 256 + c1) % 31 == 0;
}

bool inflateText(std::string_view compressed, std::string& text, std::string& error) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        error = "cannot start zlib";
        return false;
    }
    std::unique_ptr<z_stream, int (*)(z_stream*)> end(&z, inflateEnd);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) break;
        text.append(chunk, sizeof chunk - z.avail_out);
        if (text.size() > LARGEST_TEXT) {
            error = "its content is larger than 16 MiB: not a plot style table";
            return false;
        }
        if (status == Z_OK && z.avail_in == 0) status = Z_BUF_ERROR;
    }
    if (status != Z_STREAM_END) {
        error = "its compressed content is damaged (zlib: " + std::string(z.msg ? z.msg : "ends early") + ")";
        return false;
    }
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return true;
}

// One "name{ ... }" group of the text, or a value.
struct Node {
    std::string value;
    std::map<std::string, Node> children;
    bool group = false;
};

bool parseText(std::string_view text, Node& root, std::string& error) {
    std::vector<Node*> open{&root};
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (line.empty()) continue;
        if (line == "}") {
            if (open.size() == 1) {
                error = "line " + std::to_string(lineNumber) + " of its content closes a group that is not open";
                return false;
            }
            open.pop_back();
            continue;
        }
        if (line.back() == '{') {
            if (open.size() > 8) {
                error = "line " + std::to_string(lineNumber) + " of its content nests groups too deep";
                return false;
            }
            Node& child = open.back()->children[std::string(line.substr(0, line.size() - 1))];
            child.group = true;
            open.push_back(&child);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            error = "line " + std::to_string(lineNumber) + " of its content is not key=value: " +
                    std::string(line.substr(0, 60));
            return false;
        }
        std::string_view value = line.substr(eq + 1);
        if (!value.empty() && value.front() == '"') value.remove_prefix(1);  // strings open with a quote only
        open.back()->children[std::string(line.substr(0, eq))].value = std::string(value);
    }
    if (open.size() != 1) {
        error = "its content ends inside a group";
        return false;
    }
    return true;
}

bool integer(const Node& n, const std::string& key, long long& out) {
    auto found = n.children.find(key);
    if (found == n.children.end()) return false;
    const std::string& v = found->second.value;
    auto r = std::from_chars(v.data(), v.data() + v.size(), out);
    return r.ec == std::errc() && r.ptr == v.data() + v.size();
}

bool decimal(const std::string& v, double& out) {
    auto r = std::from_chars(v.data(), v.data() + v.size(), out);
    return r.ec == std::errc() && r.ptr == v.data() + v.size() && std::isfinite(out);
}

int rgbOfAci(int aci) {
    return (colorIndexPalette[aci][0] << 16) | (colorIndexPalette[aci][1] << 8) | colorIndexPalette[aci][2];
}

// The style's colour as RGB, or -1 for the object's. Both colour types
// keep the RGB in the low bytes (tables mark a colour of their own 0xC2 or
// 0xC3, the latter also with all low bytes set for "the object's").
int colourOf(long long stored) {
    auto c = static_cast<uint32_t>(stored);
    if (c == OBJECT_COLOUR || c == OBJECT_COLOUR_ACI) return -1;
    uint32_t type = c >> 24;
    if (type == COLOUR_RGB || type == COLOUR_ACI) return static_cast<int>(c & 0xFFFFFF);
    return -1;  // by layer, by block: the object's
}

bool readStyle(const std::string& key, const Node& node, const std::vector<double>& weights, PlotStyle& style,
               std::string& error) {
    auto fail = [&](const std::string& what) {
        error = "plot style " + key + ": " + what;
        return false;
    };
    auto name = node.children.find("name");
    if (name != node.children.end()) style.name = name->second.value;
    long long colour = -1, mode = 0, pen = 0, screen = 100, weight = 0;
    if (node.children.count("color") && !integer(node, "color", colour)) return fail("its color is not a number");
    if (integer(node, "mode_color", mode)) colour = mode;
    style.colour = colourOf(colour);
    if (node.children.count("physical_pen_number") && !integer(node, "physical_pen_number", pen))
        return fail("its physical_pen_number is not a number");
    if (pen < 0 || pen > 255) return fail("its physical pen " + std::to_string(pen) + " is not 0 to 255");
    style.physicalPen = static_cast<int>(pen);
    if (node.children.count("screen") && !integer(node, "screen", screen)) return fail("its screen is not a number");
    if (screen < 0 || screen > 100) return fail("its screen " + std::to_string(screen) + " is not 0 to 100");
    style.screen = static_cast<int>(screen);
    if (node.children.count("lineweight") && !integer(node, "lineweight", weight))
        return fail("its lineweight is not a number");
    if (weight < 0 || weight >= static_cast<long long>(weights.size()))
        return fail("its lineweight " + std::to_string(weight) + " is not in the lineweight table");
    style.lineweightMm = weights[static_cast<size_t>(weight)];
    return true;
}

}  // namespace

bool readPlotStyleTable(std::string_view bytes, PlotStyleTable& table, std::string& error) {
    if (bytes.substr(0, SIGNATURE.size()) != SIGNATURE || bytes.size() < HEADER) {
        error = "not a plot style table (it does not begin with PIAFILEVERSION_2.0)";
        return false;
    }
    // The zlib stream follows three 32-bit counts; some writers make them
    // 64-bit (ezdxf 0.18 on 64-bit systems).
    size_t body = looksLikeZlib(bytes, HEADER + 12) ? HEADER + 12 : looksLikeZlib(bytes, HEADER + 24) ? HEADER + 24 : 0;
    if (body == 0) {
        error = "its compressed content is missing or damaged";
        return false;
    }
    std::string text;
    Node root;
    if (!inflateText(bytes.substr(body), text, error) || !parseText(text, root, error)) return false;
    auto available = root.children.find("aci_table_available");
    table.colourDependent = available == root.children.end() || available->second.value != "FALSE";
    // The lineweight table, in millimetres by index.
    std::vector<double> weights;
    auto custom = root.children.find("custom_lineweight_table");
    if (custom != root.children.end())
        for (const auto& [index, node] : custom->second.children) {
            long long i = 0;
            double mm = 0;
            auto r = std::from_chars(index.data(), index.data() + index.size(), i);
            if (r.ec != std::errc() || i < 0 || i > 255 || !decimal(node.value, mm) || mm < 0 || mm > 25.4) {
                error = "custom_lineweight_table: " + index + "=" + node.value + " is not a lineweight in mm";
                return false;
            }
            if (weights.size() <= static_cast<size_t>(i)) weights.resize(static_cast<size_t>(i) + 1, 0);
            weights[static_cast<size_t>(i)] = mm;
        }
    if (weights.empty()) weights = {0};
    auto styles = root.children.find("plot_style");
    if (styles == root.children.end() || styles->second.children.empty()) {
        error = "it has no plot_style group";
        return false;
    }
    table.styles.assign(table.colourDependent ? 255 : 0, PlotStyle{});
    for (const auto& [key, node] : styles->second.children) {
        long long index = 0;
        auto r = std::from_chars(key.data(), key.data() + key.size(), index);
        if (r.ec != std::errc() || r.ptr != key.data() + key.size() || index < 0 || index > 4095) {
            error = "plot style " + key + " is not numbered";
            return false;
        }
        PlotStyle style;
        if (!readStyle(key, node, weights, style, error)) return false;
        if (table.colourDependent) {
            if (index < 255) table.styles[static_cast<size_t>(index)] = style;
        } else {
            if (table.styles.size() <= static_cast<size_t>(index)) table.styles.resize(static_cast<size_t>(index) + 1);
            table.styles[static_cast<size_t>(index)] = style;
        }
    }
    return true;
}

bool loadPlotStyleTable(const std::string& path, PlotStyleTable& table, std::string& error) {
    std::error_code why;
    if (std::filesystem::is_directory(path, why)) {
        error = "it is a directory";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    std::string bytes;
    char chunk[16384];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= LARGEST_TEXT;) bytes.append(chunk, n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error = "it could not be read";
        return false;
    }
    return readPlotStyleTable(bytes, table, error);
}

PenChoice penOfStyle(const PlotStyle& style, int aci) {
    PenChoice choice{aci >= 1 && aci <= 255 ? aci : 7, -1};
    if (style.lineweightMm > 0) choice.widthMm = style.lineweightMm;
    if (style.physicalPen >= 1) {
        choice.pen = style.physicalPen;
        return choice;
    }
    if (style.colour < 0 && style.screen >= 100) return choice;
    int rgb = style.colour >= 0 ? style.colour : rgbOfAci(choice.pen);
    // Screening mixes the colour with the paper's white.
    auto screened = [&](int shift) {
        int c = (rgb >> shift) & 0xFF;
        return static_cast<int>(std::lround(255 - (255 - c) * style.screen / 100.0));
    };
    choice.pen = nearestColourNumber((screened(16) << 16) | (screened(8) << 8) | screened(0));
    return choice;
}

PenMap penMapOf(const PlotStyleTable& table) {
    PenMap pens;
    if (!table.colourDependent) return pens;
    for (int aci = 1; aci <= 255; ++aci) pens.assign(aci, penOfStyle(table.styles[static_cast<size_t>(aci - 1)], aci));
    return pens;
}

}  // namespace tavix::dxf
