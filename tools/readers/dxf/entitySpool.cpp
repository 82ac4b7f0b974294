#include "entitySpool.h"

#include <stdio.h>

#include <cstdint>
#include <type_traits>

namespace tavix::dxf {
namespace {

// Values in the machine's own byte order: the spool is read back by the
// process that wrote it, never kept. One thread owns the file, so the
// calls skip the stream lock (the spool's per-field calls are hot).
struct Writer {
    std::FILE* f;
    bool ok = true;

    template <typename T>
    void put(const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        ok = ok && fwrite_unlocked(&v, sizeof v, 1, f) == 1;
    }
    void put(const std::string& s) {
        put(static_cast<uint32_t>(s.size()));
        ok = ok && (s.empty() || fwrite_unlocked(s.data(), 1, s.size(), f) == s.size());
    }
    template <typename T>
    void put(const std::vector<T>& v) {
        put(static_cast<uint32_t>(v.size()));
        if constexpr (std::is_trivially_copyable_v<T>) {
            ok = ok && (v.empty() || fwrite_unlocked(v.data(), sizeof(T), v.size(), f) == v.size());
        } else {
            for (const T& item : v) put(item);
        }
    }
    void put(const HatchPatternLine& p) {
        put(p.angle), put(p.base), put(p.offset), put(p.dashes);
    }
    void put(const HatchLoop& l) { put(l.edges); }
    void put(const Entity& e);
};

struct Reader {
    std::FILE* f;
    bool ok = true;

    template <typename T>
    void get(T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        ok = ok && fread_unlocked(&v, sizeof v, 1, f) == 1;
    }
    void get(std::string& s) {
        uint32_t n = 0;
        get(n);
        s.resize(ok ? n : 0);
        ok = ok && (n == 0 || fread_unlocked(s.data(), 1, n, f) == n);
    }
    template <typename T>
    void get(std::vector<T>& v) {
        uint32_t n = 0;
        get(n);
        v.resize(ok ? n : 0);
        if constexpr (std::is_trivially_copyable_v<T>) {
            ok = ok && (n == 0 || fread_unlocked(v.data(), sizeof(T), n, f) == n);
        } else {
            for (T& item : v) get(item);
        }
    }
    void get(HatchPatternLine& p) { get(p.angle), get(p.base), get(p.offset), get(p.dashes); }
    void get(HatchLoop& l) { get(l.edges); }
    void get(Entity& e);
};

}  // namespace

// The fields of each kind, the one list both directions walk; each kind
// keeps only its own, so a LINE costs some eighty bytes.
template <typename Io, typename E>
void kindFields(Io& io, E& e) {
    switch (e.kind) {
        case EntityKind::Line: case EntityKind::Point: case EntityKind::Solid: case EntityKind::Polyline:
        case EntityKind::Ray: case EntityKind::Wipeout: case EntityKind::Image:
            io(e.vertices), io(e.closed), io(e.width);
            if (e.kind == EntityKind::Image) io(e.text);
            if (e.kind == EntityKind::Solid) io(e.hiddenEdges);
            if (e.kind == EntityKind::Polyline) io(e.vertexWidths);
            break;
        case EntityKind::Circle: case EntityKind::Arc: case EntityKind::Ellipse:
            io(e.centre), io(e.radius), io(e.startAngle), io(e.endAngle), io(e.majorAxis), io(e.ratio),
                io(e.clockwise);
            break;
        case EntityKind::Spline:
            io(e.degree), io(e.closed), io(e.periodic), io(e.knots), io(e.weights), io(e.controlPoints),
                io(e.fitPoints), io(e.startTangent), io(e.endTangent);
            break;
        case EntityKind::Insert: case EntityKind::Dimension:
            io(e.blockName), io(e.insertion), io(e.scaleX), io(e.scaleY), io(e.rotation), io(e.columns),
                io(e.rows), io(e.columnSpacing), io(e.rowSpacing);
            if (e.kind == EntityKind::Dimension) io(e.rebuiltBlock);
            break;
        case EntityKind::Text: case EntityKind::MText:
            io(e.text), io(e.textStyle), io(e.insertion), io(e.alignPoint), io(e.height), io(e.widthFactor), io(e.oblique),
                io(e.rotation), io(e.alignH), io(e.alignV), io(e.attachment), io(e.boxWidth), io(e.lineSpacing),
                io(e.scaleX), io(e.scaleY);
            break;
        case EntityKind::Hatch:
            io(e.solidFill), io(e.loops), io(e.pattern);
            break;
    }
}

void Writer::put(const Entity& e) {
    put(static_cast<uint8_t>(e.kind));
    put(e.style), put(e.line), put(e.mirrored);
    auto io = [this](const auto& v) { put(v); };
    kindFields(io, e);
}

void Reader::get(Entity& e) {
    uint8_t kind = 0;
    get(kind);
    if (!ok || kind > static_cast<uint8_t>(EntityKind::Image)) {
        ok = false;
        return;
    }
    e = Entity{};
    e.kind = static_cast<EntityKind>(kind);
    get(e.style), get(e.line), get(e.mirrored);
    auto io = [this](auto& v) { get(v); };
    kindFields(io, e);
}

EntitySpool::EntitySpool() : file(std::tmpfile()) {}

EntitySpool::~EntitySpool() {
    if (file != nullptr) std::fclose(file);
}

bool EntitySpool::write(const Entity& e) {
    if (!ok()) return false;
    Writer w{file};
    w.put(e);
    failed = !w.ok;
    written += w.ok ? 1 : 0;
    return w.ok;
}

bool EntitySpool::rewind() {
    if (!ok()) return false;
    failed = std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0;
    return !failed;
}

bool EntitySpool::read(Entity& e) {
    if (!ok()) return false;
    Reader r{file};
    r.get(e);
    return r.ok;
}

}  // namespace tavix::dxf
