#include "entitySpool.h"

#include <cstdint>
#include <type_traits>

namespace tavix::dxf {
namespace {

// Values in the machine's own byte order: the spool is read back by the
// process that wrote it, never kept.
struct Writer {
    std::FILE* f;
    bool ok = true;

    template <typename T>
    void put(const T& v) {
        static_assert(std::is_trivially_copyable_v<T>);
        ok = ok && std::fwrite(&v, sizeof v, 1, f) == 1;
    }
    void put(const std::string& s) {
        put(static_cast<uint32_t>(s.size()));
        ok = ok && (s.empty() || std::fwrite(s.data(), 1, s.size(), f) == s.size());
    }
    template <typename T>
    void put(const std::vector<T>& v) {
        put(static_cast<uint32_t>(v.size()));
        if constexpr (std::is_trivially_copyable_v<T>) {
            ok = ok && (v.empty() || std::fwrite(v.data(), sizeof(T), v.size(), f) == v.size());
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
        ok = ok && std::fread(&v, sizeof v, 1, f) == 1;
    }
    void get(std::string& s) {
        uint32_t n = 0;
        get(n);
        s.resize(ok ? n : 0);
        ok = ok && (n == 0 || std::fread(s.data(), 1, n, f) == n);
    }
    template <typename T>
    void get(std::vector<T>& v) {
        uint32_t n = 0;
        get(n);
        v.resize(ok ? n : 0);
        if constexpr (std::is_trivially_copyable_v<T>) {
            ok = ok && (n == 0 || std::fread(v.data(), sizeof(T), n, f) == n);
        } else {
            for (T& item : v) get(item);
        }
    }
    void get(HatchPatternLine& p) { get(p.angle), get(p.base), get(p.offset), get(p.dashes); }
    void get(HatchLoop& l) { get(l.edges); }
    void get(Entity& e);
};

}  // namespace

// Each kind keeps only its own fields, so a LINE costs some eighty bytes.
void Writer::put(const Entity& e) {
    put(static_cast<uint8_t>(e.kind));
    put(e.style), put(e.line), put(e.mirrored);
    switch (e.kind) {
        case EntityKind::Line: case EntityKind::Point: case EntityKind::Solid: case EntityKind::Polyline:
            put(e.vertices), put(e.closed), put(e.width);
            break;
        case EntityKind::Circle: case EntityKind::Arc: case EntityKind::Ellipse:
            put(e.centre), put(e.radius), put(e.startAngle), put(e.endAngle), put(e.majorAxis), put(e.ratio),
                put(e.clockwise);
            break;
        case EntityKind::Spline:
            put(e.degree), put(e.closed), put(e.periodic), put(e.knots), put(e.weights), put(e.controlPoints),
                put(e.fitPoints);
            break;
        case EntityKind::Insert: case EntityKind::Dimension:
            put(e.blockName), put(e.insertion), put(e.scaleX), put(e.scaleY), put(e.rotation), put(e.columns),
                put(e.rows), put(e.columnSpacing), put(e.rowSpacing);
            break;
        case EntityKind::Text: case EntityKind::MText:
            put(e.text), put(e.insertion), put(e.alignPoint), put(e.height), put(e.widthFactor), put(e.oblique),
                put(e.rotation), put(e.alignH), put(e.alignV), put(e.attachment), put(e.boxWidth),
                put(e.lineSpacing), put(e.scaleX), put(e.scaleY);
            break;
        case EntityKind::Hatch:
            put(e.solidFill), put(e.loops), put(e.pattern);
            break;
    }
}

void Reader::get(Entity& e) {
    uint8_t kind = 0;
    get(kind);
    if (!ok || kind > static_cast<uint8_t>(EntityKind::Hatch)) {
        ok = false;
        return;
    }
    e = Entity{};
    e.kind = static_cast<EntityKind>(kind);
    get(e.style), get(e.line), get(e.mirrored);
    switch (e.kind) {
        case EntityKind::Line: case EntityKind::Point: case EntityKind::Solid: case EntityKind::Polyline:
            get(e.vertices), get(e.closed), get(e.width);
            break;
        case EntityKind::Circle: case EntityKind::Arc: case EntityKind::Ellipse:
            get(e.centre), get(e.radius), get(e.startAngle), get(e.endAngle), get(e.majorAxis), get(e.ratio),
                get(e.clockwise);
            break;
        case EntityKind::Spline:
            get(e.degree), get(e.closed), get(e.periodic), get(e.knots), get(e.weights), get(e.controlPoints),
                get(e.fitPoints);
            break;
        case EntityKind::Insert: case EntityKind::Dimension:
            get(e.blockName), get(e.insertion), get(e.scaleX), get(e.scaleY), get(e.rotation), get(e.columns),
                get(e.rows), get(e.columnSpacing), get(e.rowSpacing);
            break;
        case EntityKind::Text: case EntityKind::MText:
            get(e.text), get(e.insertion), get(e.alignPoint), get(e.height), get(e.widthFactor), get(e.oblique),
                get(e.rotation), get(e.alignH), get(e.alignV), get(e.attachment), get(e.boxWidth),
                get(e.lineSpacing), get(e.scaleX), get(e.scaleY);
            break;
        case EntityKind::Hatch:
            get(e.solidFill), get(e.loops), get(e.pattern);
            break;
    }
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
