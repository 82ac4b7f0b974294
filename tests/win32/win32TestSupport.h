// Shared by the tests that load the real DLL: the entry types as the CAD
// host sees them, UTF-8 to code page 932, and reading a whole file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace tavix::win32test {

using DerizFn = uint8_t*(__stdcall*)(const uint8_t*, uint32_t);
using EntryFn = int(__cdecl*)(uint8_t*);

inline std::string cp932(const char* utf8) {
    wchar_t wide[256];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    char bytes[512];
    int m = WideCharToMultiByte(932, 0, wide, n, bytes, sizeof bytes, nullptr, nullptr);
    return m > 0 ? std::string(bytes, static_cast<size_t>(m - 1)) : std::string();
}

inline std::string readFile(const char* name) {
    HANDLE file = CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out(65536, '\0');
    DWORD read = 0;
    ReadFile(file, out.data(), static_cast<DWORD>(out.size()), &read, nullptr);
    CloseHandle(file);
    out.resize(read);
    return out;
}

}  // namespace tavix::win32test
