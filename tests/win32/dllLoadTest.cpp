// Loads the real TAVIXDRV.dll as the CAD host does and checks the export and
// the driver record it returns.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace {

using DerizFn = uint8_t*(__stdcall*)(const uint8_t*, uint32_t);

DerizFn findDeriz(HMODULE module) {
    return reinterpret_cast<DerizFn>(reinterpret_cast<void*>(GetProcAddress(module, "DERIZ")));
}

struct Dll {
    HMODULE module = LoadLibraryA("TAVIXDRV.dll");
    ~Dll() {
        if (module) FreeLibrary(module);
    }
};

TEST(Dll, exportsDerizUndecorated) {
    Dll dll;
    ASSERT_NE(nullptr, dll.module);
    EXPECT_NE(nullptr, GetProcAddress(dll.module, "DERIZ"));
    EXPECT_EQ(nullptr, GetProcAddress(dll.module, "DERIZ@8"));
    EXPECT_EQ(nullptr, GetProcAddress(dll.module, "_DERIZ@8"));
    EXPECT_EQ(dll.module, GetModuleHandleA("tavixdrv"));
}

TEST(Dll, derizReturnsTheRecordWithEntriesInsideTheModule) {
    Dll dll;
    ASSERT_NE(nullptr, dll.module);
    auto deriz = findDeriz(dll.module);
    ASSERT_NE(nullptr, deriz);
    uint8_t table[196] = {};
    const uint8_t* r = deriz(table, 0x12345678);
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(r, deriz(table, 0));

    EXPECT_GT(std::strlen(reinterpret_cast<const char*>(r)), 0u);
    EXPECT_LE(std::strlen(reinterpret_cast<const char*>(r)), 80u);
    auto base = reinterpret_cast<uintptr_t>(dll.module);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(0u, VirtualQuery(reinterpret_cast<void*>(tavix::readU32(r, 410)), &info, sizeof info));
    EXPECT_EQ(base, reinterpret_cast<uintptr_t>(info.AllocationBase));
    ASSERT_NE(0u, VirtualQuery(reinterpret_cast<void*>(tavix::readU32(r, 414)), &info, sizeof info));
    EXPECT_EQ(base, reinterpret_cast<uintptr_t>(info.AllocationBase));

    EXPECT_EQ(4, tavix::readI16(r, 418));
    EXPECT_EQ(3, tavix::readI16(r, 432));
    EXPECT_STREQ("$ACADPLNAME$", reinterpret_cast<const char*>(r + 434));
    EXPECT_STREQ("Microsoft Windows Win32", reinterpret_cast<const char*>(r + 449));
    EXPECT_EQ(6, tavix::readI16(r, 481));
    EXPECT_STREQ("14.0-1", reinterpret_cast<const char*>(r + 483));
    const char* names[] = {"TX-90-TAVIX E", "TX-70-TAVIX E", "TX-30-TAVIX E",
                           "Lumen Q1-TAVIX E", "TX Series TAVIX E"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(names[i], reinterpret_cast<const char*>(r + 504 + 38 * i));
        EXPECT_EQ(1, tavix::readI16(r, 504 + 38 * i + 32));
        EXPECT_EQ(i == 3 ? 0 : 1, tavix::readI16(r, 504 + 38 * i + 34));
        EXPECT_EQ(2, tavix::readI16(r, 504 + 38 * i + 36));
    }
}

TEST(Dll, unknownRequestLeavesThePacketAsItCame) {
    Dll dll;
    ASSERT_NE(nullptr, dll.module);
    auto deriz = findDeriz(dll.module);
    uint8_t table[196] = {};
    const uint8_t* r = deriz(table, 0);
    using EntryFn = int(__cdecl*)(uint8_t*);
    auto config = reinterpret_cast<EntryFn>(tavix::readU32(r, 410));
    auto plot = reinterpret_cast<EntryFn>(tavix::readU32(r, 414));
    uint8_t packet[64];
    for (int i = 0; i < 64; ++i) packet[i] = static_cast<uint8_t>(0xA0 + i);
    tavix::writeI16(packet, tavix::PACKET_STATUS, 13);
    uint8_t before[64];
    std::memcpy(before, packet, 64);
    config(packet);
    EXPECT_EQ(0, std::memcmp(before, packet, 64));
    tavix::writeI16(packet, tavix::PACKET_STATUS, 60);
    std::memcpy(before, packet, 64);
    plot(packet);
    EXPECT_EQ(0, std::memcmp(before, packet, 64));
}

}  // namespace
