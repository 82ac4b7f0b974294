// An image through the real DLL: code 52 with the host's row functions as
// 32-bit cdecl functions, printed by the next plot request. A row the host
// fails raises the real warning box, which a helper thread reads and
// answers with OK, so the run never waits for a click.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace {

using DerizFn = uint8_t*(__stdcall*)(const uint8_t*, uint32_t);
using EntryFn = int(__cdecl*)(uint8_t*);

struct ImageHost {
    std::string output;
    std::vector<std::vector<uint8_t>> queries;
    int released = 0;
    int errorAt = -1;
    std::vector<uint8_t> row = std::vector<uint8_t>(3 * 393, 0);  // black
    uint8_t reply[16] = {};
};
ImageHost* host = nullptr;

int __cdecl writeOutput(int one, int zero, const void* bytes, int count, int zero2) {
    if (one != 1 || zero != 0 || zero2 != 0) return 0;
    host->output.append(static_cast<const char*>(bytes), static_cast<size_t>(count));
    return count;
}
int __cdecl showMessage(const char*) { return 0; }
int __cdecl exchangeValue(int, int) { return 1; }

uint32_t __cdecl rowSource(void* query) {
    const uint8_t* q = static_cast<const uint8_t*>(query);
    host->queries.emplace_back(q, q + 144);
    std::memset(host->reply, 0, sizeof host->reply);
    tavix::writeU32(host->reply, tavix::rowReply::PIXELS,
                    static_cast<uint32_t>(reinterpret_cast<uintptr_t>(host->row.data())));
    tavix::writeI32(host->reply, tavix::rowReply::COUNT, static_cast<int32_t>(host->row.size()));
    if (static_cast<int>(host->queries.size()) - 1 == host->errorAt)
        tavix::writeI16(host->reply, tavix::rowReply::ERROR_FLAG, 1);
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(host->reply));
}
void __cdecl rowRelease(uint32_t reply) {
    if (reply == static_cast<uint32_t>(reinterpret_cast<uintptr_t>(host->reply))) ++host->released;
}

// Reads and closes (OK) every message box the plotting thread shows.
class BoxAnswerer {
public:
    explicit BoxAnswerer(DWORD thread)
        : worker_([this, thread] {
              while (!stop_) {
                  EnumThreadWindows(thread, &answer, reinterpret_cast<LPARAM>(this));
                  Sleep(20);
              }
          }) {}
    ~BoxAnswerer() { stop(); }
    void stop() {
        stop_ = true;
        if (worker_.joinable()) worker_.join();
    }
    std::vector<std::string> captions, texts;  // read after stop()

private:
    static BOOL CALLBACK answer(HWND window, LPARAM self) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        auto* me = reinterpret_cast<BoxAnswerer*>(self);
        char caption[64] = {}, text[128] = {};
        GetWindowTextA(window, caption, sizeof caption);
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the message box's text
        me->captions.emplace_back(caption);
        me->texts.emplace_back(text);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

class DllImage : public ::testing::Test {
protected:
    void SetUp() override {
        host = &state;
        module = LoadLibraryA("TAVIXDRV.dll");
        ASSERT_NE(nullptr, module);
        put(112, reinterpret_cast<void*>(&showMessage));
        put(160, reinterpret_cast<void*>(&writeOutput));
        put(192, reinterpret_cast<void*>(&exchangeValue));
        auto deriz = reinterpret_cast<DerizFn>(reinterpret_cast<void*>(GetProcAddress(module, "DERIZ")));
        plot = reinterpret_cast<EntryFn>(tavix::readU32(deriz(table, 0), 414));
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
        host = nullptr;
    }
    void put(int offset, void* fn) {
        tavix::writeU32(table, offset, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(fn)));
    }
    int16_t send(int16_t code) {
        std::vector<uint8_t> packet(256, 0);
        tavix::writeI16(packet.data(), tavix::PACKET_STATUS, code);
        if (code == 49) {  // the identification the host gives
            tavix::writeI16(packet.data(), tavix::identifyPacket::CALLER, 1);
            packet[tavix::identifyPacket::RELEASE] = 2;
        }
        plot(packet.data());
        return tavix::readI16(packet.data(), tavix::PACKET_STATUS);
    }
    // The worked image: 100 x 50 RGB source pixels into (1000, 2000)-(2000, 2500).
    std::vector<uint8_t> sendImage() {
        std::vector<uint8_t> packet(256, 0);
        tavix::writeI16(packet.data(), tavix::PACKET_STATUS, 52);
        tavix::writeU32(packet.data(), tavix::imagePacket::ROW_SOURCE,
                        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&rowSource)));
        tavix::writeU32(packet.data(), tavix::imagePacket::ROW_RELEASE,
                        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&rowRelease)));
        tavix::writeI32(packet.data(), tavix::imagePacket::HOST_VALUE, 0x5EED);
        const int32_t fields[] = {1000, 2000, 2000, 2500, 8, 100, 50};
        for (int i = 0; i < 7; ++i) tavix::writeI32(packet.data(), 16 + 4 * i, fields[i]);
        plot(packet.data());
        return packet;
    }

    ImageHost state;
    uint8_t table[196] = {};
    HMODULE module = nullptr;
    EntryFn plot = nullptr;
};

TEST_F(DllImage, anImageIsPrintedByTheNextRequestAndEndsThePage) {
    send(49);
    ASSERT_EQ(0, send(30));
    auto image = sendImage();
    EXPECT_EQ(1, tavix::readI16(image.data(), tavix::imagePacket::REPLY));
    EXPECT_TRUE(state.queries.empty());
    send(8);  // any request prints the pending image first
    ASSERT_EQ(196u, state.queries.size());
    EXPECT_EQ(196, state.released);
    EXPECT_EQ(0x5EED, tavix::readI32(state.queries[0].data(), tavix::rowQuery::HOST_VALUE));
    EXPECT_EQ(2003, tavix::readI32(state.queries[1].data(), tavix::rowQuery::DEVICE_Y_START));
    EXPECT_NE(std::string::npos, state.output.find(";PU2000,2000PA2000,2000\x1b%1A"));
    EXPECT_NE(std::string::npos, state.output.find("\x1b*r393S\x1b*r196T\x1b*b2M\x1b*t400R"));
    send(2);
    EXPECT_NE(std::string::npos, state.output.find("\x1b*rC\x1b*p1P\x1b%0BPA2000,2000PU0,0PR"));
    EXPECT_EQ(state.output.size() - 10, state.output.find(";PUSP0;PG;"));
}

TEST_F(DllImage, aFailedRowShowsTheWarningBox) {
    state.errorAt = 1;
    send(49);
    ASSERT_EQ(0, send(30));
    sendImage();
    BoxAnswerer answerer(GetCurrentThreadId());
    send(8);
    answerer.stop();
    ASSERT_EQ(1u, answerer.captions.size());
    EXPECT_EQ("VUV4.3", answerer.captions[0]);
    EXPECT_EQ("image faile=1 393 1179", answerer.texts[0]);
    EXPECT_EQ(196u, state.queries.size());
}

}  // namespace
