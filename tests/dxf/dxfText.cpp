#include "dxfText.h"


namespace tavix::dxf::testing {

std::string dxfText(const Groups& groups) {
    std::string out;
    for (const auto& [code, value] : groups) {
        std::string c = std::to_string(code);
        out += std::string(c.size() < 3 ? 3 - c.size() : 0, ' ') + c + "\n" + value + "\n";
    }
    return out;
}

std::string drawing(const Groups& entities, const Groups& blocks, const Groups& tables, const Groups& header) {
    Groups all;
    auto section = [&all](const char* name, const Groups& body) {
        all.push_back({0, "SECTION"});
        all.push_back({2, name});
        all.insert(all.end(), body.begin(), body.end());
        all.push_back({0, "ENDSEC"});
    };
    if (!header.empty()) section("HEADER", header);
    if (!tables.empty()) section("TABLES", tables);
    if (!blocks.empty()) section("BLOCKS", blocks);
    section("ENTITIES", entities);
    all.push_back({0, "EOF"});
    return dxfText(all);
}

std::FILE* memoryFile(const std::string& text) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return nullptr;
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

}  // namespace tavix::dxf::testing
