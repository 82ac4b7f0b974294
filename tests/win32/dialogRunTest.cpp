// The real dialogs of TAVIXDRV.dll under wine, opened through the requests
// that open them (configuration 20 and 21, plot 46) and driven from a
// second thread with real window messages, as a person's clicks and typing
// would arrive; the settings that come back are checked in the block the
// driver saves. With TAVIX_DIALOG_SHOTS set to a folder, one more test
// captures each base template as the user sees it (BMP files).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "resources/resource.h"
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
    uint8_t stored[40] = {};
    bool hasStored = false;
    std::vector<std::string> messages;
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
    if (size != 40) return 1;
    std::memcpy(host->stored, block, 40);
    host->hasStored = true;
    return 0;
}
int __cdecl exchangeValue(int, int) { return 0; }

// The person at the screen: runs on its own thread while the driver's
// thread sits in a request with a modal dialog up.
class User {
public:
    explicit User(DWORD thread) : thread_(thread) {}

    // The enabled dialog of the driver's thread with this title (code page
    // 932), waited for up to two seconds.
    HWND dialog(const std::string& title) {
        for (int i = 0; i < 200; ++i) {
            found_ = nullptr;
            wanted_ = &title;
            EnumThreadWindows(thread_, &match, reinterpret_cast<LPARAM>(this));
            if (found_ != nullptr) return found_;
            Sleep(10);
        }
        ADD_FAILURE() << "no dialog titled " << title;
        return nullptr;
    }

    void waitClosed(HWND window) {
        for (int i = 0; i < 200 && IsWindow(window); ++i) Sleep(10);
        EXPECT_FALSE(IsWindow(window));
    }

    // A click on a button that returns at once (radio buttons, pictures).
    static void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    // A click whose handling opens or closes a dialog: posted, not waited for.
    static void press(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    static void setText(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }
    static std::string text(HWND dialog, int id) {
        char buffer[256] = {};
        GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
        return buffer;
    }
    static void select(HWND dialog, int id, int row) {
        HWND combo = GetDlgItem(dialog, id);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    static void selectListRow(HWND dialog, int id, int row) {
        HWND list = GetDlgItem(dialog, id);
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        SendMessageA(list, LB_SETSEL, TRUE, row);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    // Closes whatever is still open, so that a failed script cannot hang the run.
    void rescue() {
        for (int round = 0; round < 20; ++round) {
            bool any = false;
            EnumThreadWindows(thread_, &closeOne, reinterpret_cast<LPARAM>(&any));
            if (!any) return;
            Sleep(50);
        }
    }

private:
    static BOOL CALLBACK closeOne(HWND w, LPARAM any) {
        char name[16] = {};
        GetClassNameA(w, name, sizeof name);
        if (std::strcmp(name, "#32770") == 0 && IsWindowEnabled(w)) {
            PostMessageA(w, WM_COMMAND, IDOK, 0);
            *reinterpret_cast<bool*>(any) = true;
        }
        return TRUE;
    }

    static BOOL CALLBACK match(HWND window, LPARAM self) {
        auto* user = reinterpret_cast<User*>(self);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window) &&
            *user->wanted_ == title) {
            user->found_ = window;
            return FALSE;
        }
        return TRUE;
    }

    DWORD thread_;
    const std::string* wanted_ = nullptr;
    HWND found_ = nullptr;
};

class DialogRun : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetCurrentDirectoryA(sizeof previous, previous);
        directory = std::string(temp) + "tavix-dialog-run-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory.c_str(), nullptr);
        SetCurrentDirectoryA(directory.c_str());
        host = &hostState;
        module = LoadLibraryA("TAVIXDRV.dll");
        ASSERT_NE(nullptr, module);
        put(112, reinterpret_cast<void*>(&showMessage));
        put(176, reinterpret_cast<void*>(&loadSettings));
        put(180, reinterpret_cast<void*>(&saveSettings));
        put(192, reinterpret_cast<void*>(&exchangeValue));
        auto deriz = reinterpret_cast<DerizFn>(reinterpret_cast<void*>(GetProcAddress(module, "DERIZ")));
        const uint8_t* record = deriz(table, 0);
        config = reinterpret_cast<EntryFn>(tavix::readU32(record, 410));
        plot = reinterpret_cast<EntryFn>(tavix::readU32(record, 414));
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

    // Sends one request; `script` plays the user on a second thread meanwhile.
    std::vector<uint8_t> send(EntryFn entry, int16_t code, std::function<void(uint8_t*)> fill = nullptr,
                              std::function<void(User&)> script = nullptr) {
        std::vector<uint8_t> packet(2100, 0);
        tavix::writeI16(packet.data(), tavix::PACKET_STATUS, code);
        if (fill) fill(packet.data());
        User user(GetCurrentThreadId());
        std::thread person([&] {
            if (script) script(user);
            user.rescue();
        });
        entry(packet.data());
        person.join();
        return packet;
    }

    void beginConfiguration() {
        send(config, 49, [](uint8_t* p) {
            tavix::writeI16(p, tavix::identifyPacket::CALLER, 1);
            p[tavix::identifyPacket::RELEASE] = 2;
        });
        send(config, 50, [](uint8_t* p) { std::memcpy(p + 8, "en", 2); });
        send(config, 11, release3);
    }

    Host hostState;
    uint8_t table[196] = {};
    HMODULE module = nullptr;
    EntryFn config = nullptr;
    EntryFn plot = nullptr;
    char previous[MAX_PATH] = {};
    std::string directory;
};

TEST_F(DialogRun, theModelDialogIgnoresCancelAndKeepsTheClickedModel) {
    beginConfiguration();
    auto reply = send(config, 20, nullptr, [](User& user) {
        HWND d = user.dialog(cp932("機種選択"));
        ASSERT_NE(nullptr, d);
        User::click(d, 1075);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(d, WM_CLOSE, 0, 0);
        Sleep(200);
        EXPECT_TRUE(IsWindow(d));
        User::press(d, IDOK);
        user.waitClosed(d);
    });
    EXPECT_STREQ("TX-30-TAVIX E",
                 reinterpret_cast<const char*>(reply.data() + tavix::modelPacket::NAME));
}

TEST_F(DialogRun, settingsMadeInTheNestedDialogsComeBackThroughEveryOk) {
    beginConfiguration();
    send(config, 20, nullptr, [](User& user) {
        HWND d = user.dialog(cp932("機種選択"));
        ASSERT_NE(nullptr, d);
        User::click(d, 1075);  // TX-30
        User::press(d, IDOK);
        user.waitClosed(d);
    });
    auto device = send(config, 21, askForDefaults, [](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽ設定"));
        ASSERT_NE(nullptr, d);
        EXPECT_EQ("1", User::text(d, 114));
        User::setText(d, 114, "12");
        User::select(d, 105, 4);
        User::click(d, 1083);  // margin off
        User::setText(d, 114, "0");  // refused: the last count comes back
        EXPECT_EQ("12", User::text(d, 114));

        User::press(d, 1046);
        HWND option = user.dialog(cp932("追加機能出力設定"));
        ASSERT_NE(nullptr, option);
        EXPECT_FALSE(IsWindowEnabled(d));
        EXPECT_EQ("Standard: 16", User::text(option, 1100));
        EXPECT_EQ("16", User::text(option, 1099));
        EXPECT_EQ(3, SendDlgItemMessageA(option, 113, CB_GETCOUNT, 0, 0));
        User::setText(option, 1099, "40");
        User::click(option, 1091);  // mirror on
        User::click(option, 1063);  // pen setting yes
        User::click(option, 1057);  // stamp on

        User::press(option, 1065);
        HWND pen = user.dialog(cp932("ﾍﾟﾝ設定"));
        ASSERT_NE(nullptr, pen);
        EXPECT_EQ(255, SendDlgItemMessageA(pen, 1060, LB_GETCOUNT, 0, 0));
        User::selectListRow(pen, 1060, 2);
        EXPECT_EQ("100", User::text(pen, 1063));
        User::setText(pen, 1063, "55");
        User::press(pen, IDOK);
        user.waitClosed(pen);

        User::press(option, 1059);
        HWND stamp = user.dialog(cp932("ｽﾀﾝﾌﾟ機能設定"));
        ASSERT_NE(nullptr, stamp);
        EXPECT_EQ("0.00", User::text(stamp, 115));
        User::setText(stamp, 1081, "PLAN-7");
        User::select(stamp, 1080, 4);
        User::press(stamp, IDOK);
        user.waitClosed(stamp);

        User::press(option, IDOK);
        user.waitClosed(option);
        User::press(d, IDOK);
        user.waitClosed(d);
    });
    EXPECT_EQ(0, tavix::readI16(device.data(), tavix::PACKET_STATUS));
    auto save = send(config, 47);
    EXPECT_EQ(0, tavix::readI16(save.data(), tavix::PACKET_STATUS));
    const uint8_t* s = hostState.stored;
    EXPECT_EQ(12, tavix::readI32(s, 0));
    EXPECT_EQ(5, tavix::readI32(s, 4));
    EXPECT_EQ(0, s[10] & 0x02);     // plot margin off
    EXPECT_NE(0, s[8] & 0x80);      // mirror
    EXPECT_NE(0, s[9] & 0x02);      // pen setting on
    EXPECT_NE(0, s[10] & 0x20);     // stamp on
    EXPECT_EQ(4, tavix::readI16(s, 16));
    EXPECT_EQ(40, tavix::readI16(s, 24));
    EXPECT_EQ(2, tavix::readI32(s, 36));
    std::string file = readFile("tavixdrv.def");
    EXPECT_NE(std::string::npos, file.find("DrawName=PLAN-7\r\n"));
    EXPECT_NE(std::string::npos, file.find("LumenGray3=55\r\n"));
    EXPECT_NE(std::string::npos, file.find("LumenGray4=100\r\n"));
}

TEST_F(DialogRun, cancelInTheDeviceDialogDropsItsEditsAndEscapeIsCancel) {
    beginConfiguration();
    send(config, 20, nullptr, [](User& user) {
        HWND d = user.dialog(cp932("機種選択"));
        ASSERT_NE(nullptr, d);
        User::press(d, IDOK);
    });
    send(config, 21, askForDefaults, [](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽ設定"));
        ASSERT_NE(nullptr, d);
        User::setText(d, 114, "7");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        user.waitClosed(d);
    });
    send(config, 47);
    EXPECT_EQ(1, tavix::readI32(hostState.stored, 0));
}

TEST_F(DialogRun, thePlotRequestOpensTheChangeDialogAndSavesWhatComesBack) {
    beginConfiguration();
    send(config, 20, nullptr, [](User& user) {
        HWND d = user.dialog(cp932("機種選択"));
        ASSERT_NE(nullptr, d);
        User::press(d, IDOK);
    });
    send(config, 21, askForDefaults, [](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽ設定"));
        ASSERT_NE(nullptr, d);
        User::press(d, IDOK);
    });
    send(config, 47);
    send(plot, 49, [](uint8_t* p) {
        tavix::writeI16(p, tavix::identifyPacket::CALLER, 1);
        p[tavix::identifyPacket::RELEASE] = 2;
    });
    send(plot, 50, [](uint8_t* p) { std::memcpy(p + 8, "en", 2); });
    send(plot, 29, release3);
    send(plot, 46, nullptr, [](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽﾞ設定の変更"));
        ASSERT_NE(nullptr, d);
        User::setText(d, 114, "3");
        User::click(d, 1009);  // colour
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, 1013)));
        User::press(d, IDOK);
        user.waitClosed(d);
    });
    EXPECT_EQ(3, tavix::readI32(hostState.stored, 0));
    EXPECT_NE(0, hostState.stored[10] & 0x80);
    EXPECT_EQ(0, hostState.stored[8] & 0x10);
}

// Writes the window as the screen shows it into a 24-bit BMP file.
void captureWindow(HWND window, const std::string& path) {
    RECT r{};
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((width * 3 + 3) / 4) * 4, size = stride * height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// How long "Default Pen Setting" takes, the 255-row list refilled: a
// measurement for a screen (run with DISPLAY set and
// TAVIX_PEN_DEFAULTS_TIMING=<clicks>), not a check.
TEST_F(DialogRun, defaultPenSettingTiming) {
    const char* clicks = std::getenv("TAVIX_PEN_DEFAULTS_TIMING");
    if (clicks == nullptr) GTEST_SKIP() << "TAVIX_PEN_DEFAULTS_TIMING not set";
    const int n = std::atoi(clicks) > 0 ? std::atoi(clicks) : 1;
    beginConfiguration();
    send(config, 20, nullptr, [&](User& user) {
        HWND d = user.dialog(cp932("機種選択"));
        ASSERT_NE(nullptr, d);
        User::press(d, IDOK);
    });
    send(config, 21, askForDefaults, [&](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽ設定"));
        ASSERT_NE(nullptr, d);
        User::click(d, IDC_DEVICE_OUTPUT_OPTION);
        User::press(d, IDC_DEVICE_OPTION_SETTING);
        HWND option = user.dialog(cp932("追加機能出力設定"));
        ASSERT_NE(nullptr, option);
        User::click(option, IDC_OPTION_PEN_YES);
        User::press(option, IDC_OPTION_PEN_SETTING);
        HWND pen = user.dialog(cp932("ﾍﾟﾝ設定"));
        ASSERT_NE(nullptr, pen);
        User::selectListRow(pen, IDC_PEN_LIST, 0);
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        for (int i = 0; i < n; ++i) {
            QueryPerformanceCounter(&start);
            SendMessageA(pen, WM_COMMAND, MAKEWPARAM(IDC_PEN_DEFAULTS, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(pen, IDC_PEN_DEFAULTS)));
            UpdateWindow(GetDlgItem(pen, IDC_PEN_LIST));
            QueryPerformanceCounter(&end);
            std::printf("[ TIMING ] Default Pen Setting: %.1f ms\n",
                        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
        }
        User::press(pen, IDCANCEL);
        user.waitClosed(pen);
        User::press(option, IDCANCEL);
        user.waitClosed(option);
        User::press(d, IDCANCEL);
    });
}

TEST_F(DialogRun, screenshotsOfTheBaseTemplates) {
    const char* folder = std::getenv("TAVIX_DIALOG_SHOTS");
    if (folder == nullptr) GTEST_SKIP() << "TAVIX_DIALOG_SHOTS not set";
    std::string dir = folder;
    auto shot = [dir](HWND d, const char* name) {
        Sleep(400);  // let it paint
        captureWindow(d, dir + "\\" + name + ".bmp");
    };
    beginConfiguration();
    send(config, 20, nullptr, [&](User& user) {
        HWND d = user.dialog(cp932("機種選択"));
        ASSERT_NE(nullptr, d);
        User::click(d, 1073);
        shot(d, "modelcfg");
        User::press(d, IDOK);
    });
    send(config, 21, askForDefaults, [&](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽ設定"));
        ASSERT_NE(nullptr, d);
        shot(d, "detailcfg");
        User::press(d, 1046);
        HWND option = user.dialog(cp932("追加機能出力設定"));
        ASSERT_NE(nullptr, option);
        User::click(option, 1057);
        User::click(option, 1063);
        shot(option, "add_func_cfg");
        User::press(option, 1059);
        HWND stamp = user.dialog(cp932("ｽﾀﾝﾌﾟ機能設定"));
        ASSERT_NE(nullptr, stamp);
        User::setText(stamp, 1081, cp932("図面-A1"));
        shot(stamp, "stamp_cfg");
        User::press(stamp, IDOK);
        user.waitClosed(stamp);
        User::press(option, 1065);
        HWND pen = user.dialog(cp932("ﾍﾟﾝ設定"));
        ASSERT_NE(nullptr, pen);
        User::selectListRow(pen, 1060, 0);
        shot(pen, "pen_lumen_cfg");
        User::press(pen, IDOK);
        user.waitClosed(pen);
        User::press(option, IDOK);
        user.waitClosed(option);
        User::press(d, IDOK);
    });
    send(config, 47);
    send(plot, 49, [](uint8_t* p) {
        tavix::writeI16(p, tavix::identifyPacket::CALLER, 1);
        p[tavix::identifyPacket::RELEASE] = 2;
    });
    send(plot, 50);
    send(plot, 29, release3);
    send(plot, 46, nullptr, [&](User& user) {
        HWND d = user.dialog(cp932("ﾃﾞﾊﾞｲｽﾞ設定の変更"));
        ASSERT_NE(nullptr, d);
        shot(d, "drivercfg");
        User::press(d, IDOK);
    });
}

}  // namespace
