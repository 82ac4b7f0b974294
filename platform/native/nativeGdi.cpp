// The native GDI32 stand-in, and the module handle of KERNEL32: pictures
// loaded from the embedded resources, memory surfaces, and the
// stretch-copies onto owner-drawn buttons, which are recorded on the button
// (DialogDriver::face) instead of being rendered. Live objects are counted,
// so that a test can see that every picture and surface was deleted.
#include <windows.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "platform/native/embeddedResources.h"
#include "platform/native/nativeWindows.h"

struct HINSTANCE__ {
    int unused;
};

struct HBITMAP__ {
    int resourceId;
    int width;
    int height;
    int bitsPerPixel;
};

struct HDC__ {
    bool memory;
    HWND__* control;     // the surface of this owner-drawn control (window surfaces)
    HBITMAP__* selected;
};

namespace tavix::native::detail {

namespace {
HINSTANCE__ driverModule{};
HINSTANCE__ programModule{};
HBITMAP__ stockBitmap{0, 1, 1, 1};  // what a new memory surface holds
std::set<const void*> liveBitmaps;
std::set<HDC__*> liveMemorySurfaces;
std::set<const void*> windowSurfaces;

bool isBitmap(const void* object) { return liveBitmaps.count(object) != 0 || object == &stockBitmap; }

bool liveDc(HDC__* dc) {
    return dc != nullptr && (liveMemorySurfaces.count(dc) != 0 || windowSurfaces.count(dc) != 0);
}

uint32_t readU32(std::string_view bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}
}  // namespace

bool isModuleHandle(HINSTANCE instance) { return instance == &driverModule; }

HDC beginControlPaint(HWND__* control) {
    auto* dc = new HDC__{false, control, nullptr};
    windowSurfaces.insert(dc);
    return dc;
}

void endControlPaint(HDC dc) {
    windowSurfaces.erase(dc);
    delete dc;
}

int liveGdiObjects() { return static_cast<int>(liveBitmaps.size() + liveMemorySurfaces.size()); }

}  // namespace tavix::native::detail

using namespace tavix::native;
using namespace tavix::native::detail;

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr) return &programModule;
    std::string name(moduleName);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "tavixdrv" || name == "tavixdrv.dll") return &driverModule;
    return nullptr;
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    if (!isModuleHandle(instance) || !IS_INTRESOURCE(name)) return nullptr;
    const BitmapResource* resource = findBitmapResource(static_cast<int>(reinterpret_cast<uintptr_t>(name)));
    if (resource == nullptr) return nullptr;
    std::string_view bytes = embeddedFile(resource->file);
    if (bytes.size() < 54 || bytes.substr(0, 2) != "BM") return nullptr;
    auto* bitmap = new HBITMAP__{resource->id, static_cast<int>(readU32(bytes, 18)),
                                 static_cast<int>(readU32(bytes, 22)),
                                 static_cast<int>(static_cast<unsigned char>(bytes[28]))};
    liveBitmaps.insert(bitmap);
    return bitmap;
}

HDC CreateCompatibleDC(HDC) {
    auto* dc = new HDC__{true, nullptr, &stockBitmap};
    liveMemorySurfaces.insert(dc);
    return dc;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!liveDc(dc) || !dc->memory || !isBitmap(object)) return nullptr;
    HBITMAP__* previous = dc->selected;
    dc->selected = static_cast<HBITMAP__*>(object);
    return previous;
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop) {
    if (!liveDc(destination) || !liveDc(source) || source->selected == nullptr) return FALSE;
    if (destination->control != nullptr && isLiveWindow(destination->control)) {
        destination->control->drawing.push_back(BlitRecord{source->selected->resourceId, x, y, width, height,
                                                            sourceX, sourceY, sourceWidth, sourceHeight, rop});
    }
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    if (!isBitmap(object)) return 0;
    if (buffer == nullptr) return static_cast<int>(sizeof(BITMAP));
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    const auto* b = static_cast<const HBITMAP__*>(object);
    BITMAP info{};
    info.bmWidth = b->width;
    info.bmHeight = b->height;
    info.bmWidthBytes = ((b->width * b->bitsPerPixel + 15) / 16) * 2;
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(b->bitsPerPixel);
    std::memcpy(buffer, &info, sizeof info);
    return static_cast<int>(sizeof info);
}

BOOL DeleteObject(HGDIOBJ object) {
    if (object == &stockBitmap) return TRUE;
    if (liveBitmaps.count(object) == 0) return FALSE;
    // A picture still selected into a surface cannot be deleted.
    for (HDC__* dc : liveMemorySurfaces)
        if (dc->selected == object) return FALSE;
    liveBitmaps.erase(object);
    delete static_cast<HBITMAP__*>(object);
    return TRUE;
}

BOOL DeleteDC(HDC dc) {
    if (liveMemorySurfaces.count(dc) == 0) return FALSE;
    liveMemorySurfaces.erase(dc);
    delete dc;
    return TRUE;
}
