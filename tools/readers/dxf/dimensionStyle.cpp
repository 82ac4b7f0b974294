#include "dimensionStyle.h"

namespace tavix::dxf {
namespace {

// The CAD host's defaults for a style that does not give a value (those of
// its imperial "Standard" style, which a DIMSTYLE entry starts from).
const std::map<int, double> DEFAULTS = {
    {dim::SCALE, 1},         {dim::ARROW_SIZE, 0.18}, {dim::EXT_OFFSET, 0.0625}, {dim::EXT_EXTEND, 0.18},
    {dim::ROUND, 0},         {dim::LINE_EXTEND, 0},   {dim::SUPPRESS_EXT1, 0},   {dim::SUPPRESS_EXT2, 0},
    {dim::TEXT_ABOVE, 0},    {dim::ZERO_SUPPRESS, 0}, {dim::TEXT_HEIGHT, 0.18},  {dim::TICK_SIZE, 0},
    {dim::LENGTH_FACTOR, 1}, {dim::GAP, 0.09},        {dim::LINE_COLOUR, 0},     {dim::EXT_COLOUR, 0},
    {dim::TEXT_COLOUR, 0},   {dim::DECIMALS, 4},      {dim::ANGLE_DECIMALS, 0},  {dim::DECIMAL_SEPARATOR, '.'}};

const std::map<std::string_view, int> HEADER_NAMES = {
    {"$DIMPOST", dim::POST},         {"$DIMBLK", dim::ARROW_BLOCK},      {"$DIMSCALE", dim::SCALE},
    {"$DIMASZ", dim::ARROW_SIZE},    {"$DIMEXO", dim::EXT_OFFSET},       {"$DIMEXE", dim::EXT_EXTEND},
    {"$DIMRND", dim::ROUND},         {"$DIMDLE", dim::LINE_EXTEND},      {"$DIMSE1", dim::SUPPRESS_EXT1},
    {"$DIMSE2", dim::SUPPRESS_EXT2}, {"$DIMTAD", dim::TEXT_ABOVE},       {"$DIMZIN", dim::ZERO_SUPPRESS},
    {"$DIMTXT", dim::TEXT_HEIGHT},   {"$DIMTSZ", dim::TICK_SIZE},        {"$DIMLFAC", dim::LENGTH_FACTOR},
    {"$DIMGAP", dim::GAP},           {"$DIMCLRD", dim::LINE_COLOUR},     {"$DIMCLRE", dim::EXT_COLOUR},
    {"$DIMCLRT", dim::TEXT_COLOUR},  {"$DIMDEC", dim::DECIMALS},         {"$DIMADEC", dim::ANGLE_DECIMALS},
    {"$DIMDSEP", dim::DECIMAL_SEPARATOR}};

}  // namespace

double DimensionStyle::number(int code) const {
    auto found = numbers.find(code);
    if (found != numbers.end()) return found->second;
    auto fallback = DEFAULTS.find(code);
    return fallback != DEFAULTS.end() ? fallback->second : 0;
}

std::string DimensionStyle::text(int code) const {
    auto found = texts.find(code);
    return found != texts.end() ? found->second : std::string();
}

double DimensionStyle::scale() const {
    double s = number(dim::SCALE);
    return s > 0 && s < 1e6 ? s : 1;
}

DimensionStyle DimensionStyle::overriddenBy(const DimensionStyle& over) const {
    DimensionStyle out = *this;
    for (const auto& [code, value] : over.numbers) out.numbers[code] = value;
    for (const auto& [code, value] : over.texts) out.texts[code] = value;
    return out;
}

int dimensionVariableCode(std::string_view headerName) {
    auto found = HEADER_NAMES.find(headerName);
    return found != HEADER_NAMES.end() ? found->second : 0;
}

}  // namespace tavix::dxf
