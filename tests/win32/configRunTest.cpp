// A configuration run through the real DLL, as the CAD host makes it:
// 49, 50, 11, 20, 21, 47, with the host's services as cdecl functions in
// its table. Any dialog the requests open is cancelled by a helper thread,
// so the run keeps the settings the driver settled on.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "win32TestSupport.h"

namespace {

// Request 21 asking for the defaults.
void askForDefaults(uint8_t* p) { tavix::writeI16(p, tavix::devicePacket::WANTS_DEFAULTS, 1); }

// Requests 11 and 29 from release 3 of the host interface.
void release3(uint8_t* p) { tavix::writeI16(p, tavix::releasePacket::RELEASE, 3); }

using namespace tavix::win32test;

struct Host {
    std::vector<std::string> messages;
    uint8_t stored[40] = {};
    bool hasStored = false;
    bool failSave = false;
};
Host* host = nullptr;

int __cdecl showMessage(const char* text) {
    host->messages.emplace_back(text);
    return 0;
}
int __cdecl loadSettings(int size, void* block) {
    if (size != 40 || !host->hasStored) return 1;
    std::memcpy(block, host->stored, 40);
    return 0;
}
int __cdecl saveSettings(int size, void* block) {
    if (size != 40 || host->failSave) return 1;
    std::memcpy(host->stored, block, 40);
    host->hasStored = true;
    return 0;
}

// Cancels every dialog box of one thread until stopped.
class DialogCanceller {
public:
    explicit DialogCanceller(DWORD thread)
        : worker_([this, thread] {
              while (!stop_) {
                  EnumThreadWindows(thread, &cancel, 0);
                  Sleep(20);
              }
          }) {}
    ~DialogCanceller() {
        stop_ = true;
        worker_.join();
    }

private:
    static BOOL CALLBACK cancel(HWND window, LPARAM) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        // The model selection dialog has no Cancel and can only be left with OK.
        int button = GetDlgItem(window, IDCANCEL) != nullptr ? IDCANCEL : IDOK;
        if (std::strcmp(name, "#32770") == 0) PostMessageA(window, WM_COMMAND, button, 0);
        return TRUE;
    }
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

class ConfigRun : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetCurrentDirectoryA(sizeof previous, previous);
        directory = std::string(temp) + "tavix-config-run-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory.c_str(), nullptr);
        SetCurrentDirectoryA(directory.c_str());
        host = &hostState;
        module = LoadLibraryA("TAVIXDRV.dll");
        ASSERT_NE(nullptr, module);
        put(112, reinterpret_cast<void*>(&showMessage));
        put(176, reinterpret_cast<void*>(&loadSettings));
        put(180, reinterpret_cast<void*>(&saveSettings));
        auto deriz = reinterpret_cast<DerizFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "DERIZ")));
        const uint8_t* record = deriz(table, 0);
        config = reinterpret_cast<EntryFn>(tavix::readU32(record, 410));
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
        DeleteFileA((directory + "\\tavixdrv.def").c_str());
        SetCurrentDirectoryA(previous);
        RemoveDirectoryA(directory.c_str());
    }
    void put(int offset, void* fn) {
        tavix::writeU32(table, offset, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(fn)));
    }
    std::vector<uint8_t> send(int16_t code, void (*fill)(uint8_t*) = nullptr) {
        std::vector<uint8_t> packet(2100, 0xA5);
        tavix::writeI16(packet.data(), tavix::PACKET_STATUS, code);
        if (fill) fill(packet.data());
        DialogCanceller canceller(GetCurrentThreadId());
        config(packet.data());
        return packet;
    }

    Host hostState;
    uint8_t table[196] = {};
    HMODULE module = nullptr;
    EntryFn config = nullptr;
    char previous[MAX_PATH] = {};
    std::string directory;
};

TEST_F(ConfigRun, aWholeRunSavesTheBlockAndWritesThePenFile) {
    auto identify = send(49, [](uint8_t* p) {
        tavix::writeI16(p, tavix::identifyPacket::CALLER, 1);
        p[tavix::identifyPacket::RELEASE] = 2;
    });
    EXPECT_EQ(0, tavix::readI16(identify.data(), tavix::identifyPacket::STATUS));
    EXPECT_EQ(49, tavix::readI16(identify.data(), tavix::PACKET_STATUS));
    send(50, [](uint8_t* p) { std::memcpy(p + 8, "en\0", 3); });
    auto version = send(11, release3);
    EXPECT_EQ(0, tavix::readI16(version.data(), tavix::PACKET_STATUS));

    auto model = send(20);
    EXPECT_EQ(40, tavix::readI16(model.data(), tavix::modelPacket::LENGTH));
    EXPECT_STREQ("TX-90-TAVIX E",
                 reinterpret_cast<const char*>(model.data() + tavix::modelPacket::NAME));

    auto device = send(21, askForDefaults);
    EXPECT_EQ(0, tavix::readI16(device.data(), tavix::PACKET_STATUS));
    EXPECT_EQ(59, tavix::readI16(device.data(), tavix::devicePacket::LENGTH));
    EXPECT_NEAR(47.606, tavix::readF64(device.data(), tavix::devicePacket::AREA_X), 1e-12);
    EXPECT_NEAR(35.606, tavix::readF64(device.data(), tavix::devicePacket::AREA_Y), 1e-12);
    EXPECT_EQ(1016.0, tavix::readF64(device.data(), tavix::devicePacket::STEPS_X));
    EXPECT_EQ(2, tavix::readI16(device.data(), tavix::devicePacket::PORT_KIND));

    // An older file is replaced whole.
    HANDLE old = CreateFileA("tavixdrv.def", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    std::string junk(20000, 'x');
    WriteFile(old, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
    CloseHandle(old);

    auto save = send(47);
    EXPECT_EQ(0, tavix::readI16(save.data(), tavix::PACKET_STATUS));
    EXPECT_TRUE(hostState.hasStored);
    EXPECT_EQ(0, tavix::readI32(hostState.stored, 36));
    EXPECT_EQ(15, tavix::readI16(hostState.stored, 24));
    std::string file = readFile("tavixdrv.def");
    EXPECT_EQ(0u, file.find("PenGray1=100\r\nPenGray2=100\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nComment=\r\nDrawName=\r\nLumenWide1=0.254\r\n"));
    EXPECT_EQ(file.size() - 18, file.find("LumenGray255=100\r\n"));
    EXPECT_EQ("<missing>", readFile("tavixdrv.def.new"));
    EXPECT_TRUE(hostState.messages.empty());
}

TEST_F(ConfigRun, aFailedSaveShowsTheJapaneseMessage) {
    send(49, [](uint8_t* p) {
        tavix::writeI16(p, tavix::identifyPacket::CALLER, 1);
        p[tavix::identifyPacket::RELEASE] = 2;
    });
    send(50);
    hostState.failSave = true;
    auto save = send(47);
    EXPECT_EQ(-1, tavix::readI16(save.data(), tavix::PACKET_STATUS));
    ASSERT_EQ(1u, hostState.messages.size());
    std::string expected(1, '\n');
    expected += cp932("config情報を保存できません。 ");
    expected += '\n';
    EXPECT_EQ(expected, hostState.messages[0]);
    EXPECT_EQ("<missing>", readFile("tavixdrv.def"));
    auto refused = send(11, release3);
    EXPECT_EQ(-1, tavix::readI16(refused.data(), tavix::PACKET_STATUS));
}

}  // namespace
