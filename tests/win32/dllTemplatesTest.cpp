// The dialog templates as the resource compiler built them into the DLL:
// every template in its six variants, read back from the DLL's resources
// with its language tag and held against the dialog tables, as the native
// test holds the resource script. This catches the compiler and our own
// script reader disagreeing on anything the tables give.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/controlKind.h"
#include "tests/support/dialogTables.h"

namespace {

using tavix::testing::Kind;
using tavix::testing::kindOf;

struct Control {
    uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className;  // upper case, or the class atom's name
    std::string text;       // UTF-8
};

struct Template {
    uint32_t style = 0;
    int cx = 0, cy = 0;
    std::string caption;  // UTF-8
    int fontSize = 0;
    int fontCharset = 0;
    std::string fontName;  // UTF-8
    std::vector<Control> controls;
};

// Reads the extended dialog template the resource compiler writes for
// DIALOGEX; every read is checked against the resource's size.
class TemplateReader {
public:
    TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool read(Template& out) {
        if (word() != 1 || word() != 0xFFFF) return fail();
        dword();  // help id
        dword();  // extended style
        out.style = dword();
        const int count = word();
        word();  // x
        word();  // y
        out.cx = static_cast<int16_t>(word());
        out.cy = static_cast<int16_t>(word());
        std::string menu, windowClass;
        nameOrOrdinal(menu);
        nameOrOrdinal(windowClass);
        out.caption = text();
        if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
            out.fontSize = word();
            word();  // weight
            byte();  // italic
            out.fontCharset = byte();
            out.fontName = text();
        }
        for (int i = 0; i < count && ok_; ++i) {
            at_ = (at_ + 3) & ~size_t{3};
            Control c;
            dword();  // help id
            dword();  // extended style
            c.style = dword();
            c.x = static_cast<int16_t>(word());
            c.y = static_cast<int16_t>(word());
            c.cx = static_cast<int16_t>(word());
            c.cy = static_cast<int16_t>(word());
            c.id = static_cast<int32_t>(dword());
            nameOrOrdinal(c.className, true);
            nameOrOrdinal(c.text);
            at_ += word();  // creation data
            out.controls.push_back(c);
        }
        return ok_ && at_ <= size_;
    }

private:
    bool fail() { return ok_ = false; }

    uint32_t take(size_t n) {
        if (at_ + n > size_) {
            fail();
            return 0;
        }
        uint32_t v = 0;
        std::memcpy(&v, data_ + at_, n);
        at_ += n;
        return v;
    }
    uint8_t byte() { return static_cast<uint8_t>(take(1)); }
    uint16_t word() { return static_cast<uint16_t>(take(2)); }
    uint32_t dword() { return take(4); }

    std::string text() {
        std::wstring wide;
        for (uint16_t c = word(); c != 0 && ok_; c = word()) wide.push_back(static_cast<wchar_t>(c));
        char utf8[1024];
        int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), utf8, sizeof utf8,
                                    nullptr, nullptr);
        return std::string(utf8, n > 0 ? static_cast<size_t>(n) : 0);
    }

    // A text, or 0xFFFF and an ordinal; the predefined control classes come
    // as ordinals. Class names are compared in upper case.
    void nameOrOrdinal(std::string& out, bool className = false) {
        if (at_ + 2 <= size_ && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
            word();
            switch (word()) {
            case 0x80: out = "BUTTON"; break;
            case 0x81: out = "EDIT"; break;
            case 0x82: out = "STATIC"; break;
            case 0x83: out = "LISTBOX"; break;
            case 0x85: out = "COMBOBOX"; break;
            default: out = "#ordinal";
            }
            return;
        }
        out = text();
        if (className) CharUpperBuffA(out.data(), static_cast<DWORD>(out.size()));
    }

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    bool ok_ = true;
};

const Control* controlById(const Template& t, int id) {
    for (const auto& c : t.controls)
        if (c.id == id) return &c;
    return nullptr;
}

class DllTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryExA("TAVIXDRV.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (module != nullptr) FreeLibrary(module);
        module = nullptr;
    }

    // The template with this name in exactly this language.
    static bool load(const std::string& name, WORD language, Template& out) {
        HRSRC found = FindResourceExA(module, reinterpret_cast<LPCSTR>(RT_DIALOG), name.c_str(), language);
        if (found == nullptr) return false;
        HGLOBAL loaded = LoadResource(module, found);
        const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
        if (data == nullptr) return false;
        return TemplateReader(static_cast<const uint8_t*>(data), SizeofResource(module, found)).read(out);
    }

    static WORD languageOf(const std::string& name) { return name == "ADD_FUNC_CFG_ENG" ? 1033 : 1041; }

    static HMODULE module;
};

HMODULE DllTemplates::module = nullptr;

TEST_F(DllTemplates, baseTemplatesMatchTheTablesControlByControl) {
    ASSERT_NE(nullptr, module);
    for (const auto& row : tavix::testing::dialogTables()) {
        SCOPED_TRACE(row.name);
        Template t;
        ASSERT_TRUE(load(row.name, 1041, t));
        EXPECT_EQ(row.baseTitle, t.caption);
        EXPECT_EQ(row.sizes[0].cx, t.cx);
        EXPECT_EQ(row.sizes[0].cy, t.cy);
        EXPECT_EQ(9, t.fontSize);
        EXPECT_EQ("ＭＳ Ｐゴシック", t.fontName);
        EXPECT_EQ(SHIFTJIS_CHARSET, t.fontCharset);
        ASSERT_EQ(row.controls.size(), t.controls.size());
        for (size_t i = 0; i < row.controls.size(); ++i) {
            const auto& want = row.controls[i];
            const Control& got = t.controls[i];
            SCOPED_TRACE(want.id);
            EXPECT_EQ(want.id, static_cast<int16_t>(got.id));
            EXPECT_EQ(want.kind, kindOf(got));
            EXPECT_EQ(want.x, got.x);
            EXPECT_EQ(want.y, got.y);
            EXPECT_EQ(want.cx, got.cx);
            EXPECT_EQ(want.cy, got.cy);
            EXPECT_TRUE(got.style & WS_CHILD);
            if (want.baseCaption != nullptr) {
                EXPECT_EQ(want.baseCaption, got.text);
            }
        }
    }
}

TEST_F(DllTemplates, everyVariantIsThereInItsLanguageWithItsSizeFontAndControls) {
    ASSERT_NE(nullptr, module);
    for (const auto& row : tavix::testing::dialogTables()) {
        for (const char* suffix : tavix::testing::VARIANT_SUFFIXES) {
            const std::string name = std::string(row.name) + suffix;
            SCOPED_TRACE(name);
            Template t;
            ASSERT_TRUE(load(name, languageOf(name), t));
            EXPECT_NE("", t.caption);
            EXPECT_EQ(9, t.fontSize);
            if (suffix[0] != '\0') {
                EXPECT_EQ("MS Sans Serif", t.fontName);
            }
            const uint32_t frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            EXPECT_EQ(frame, t.style & frame);
            for (const auto& size : row.sizes) {
                if (std::string(size.suffix) == suffix) {
                    EXPECT_EQ(size.cx, t.cx);
                    EXPECT_EQ(size.cy, t.cy);
                }
            }
            const bool latin = suffix[0] != '\0' && std::string(suffix) != "_ENG";
            std::vector<const tavix::testing::ControlRow*> expected;
            for (const auto& c : row.controls) {
                bool absent = false;
                for (int id : row.absentInLatinVariants) absent = absent || id == c.id;
                if (!(latin && absent)) expected.push_back(&c);
            }
            ASSERT_EQ(expected.size(), t.controls.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(expected[i]->id, static_cast<int16_t>(t.controls[i].id));
                EXPECT_EQ(expected[i]->kind, kindOf(t.controls[i]));
            }
        }
    }
}

TEST_F(DllTemplates, englishVariantsCarryTheEnglishCaptions) {
    ASSERT_NE(nullptr, module);
    for (const auto& row : tavix::testing::dialogTables()) {
        const std::string name = std::string(row.name) + "_ENG";
        SCOPED_TRACE(name);
        Template t;
        ASSERT_TRUE(load(name, languageOf(name), t));
        EXPECT_EQ(row.englishTitle, t.caption);
        for (const auto& want : row.controls) {
            if (want.englishCaption == nullptr) continue;
            const Control* got = controlById(t, want.id);
            ASSERT_NE(nullptr, got) << want.id;
            EXPECT_EQ(want.englishCaption, got->text) << want.id;
        }
    }
}

TEST_F(DllTemplates, aTemplateIsFoundOnlyUnderItsOwnLanguage) {
    ASSERT_NE(nullptr, module);
    Template t;
    EXPECT_TRUE(load("ADD_FUNC_CFG_ENG", 1033, t));
    EXPECT_FALSE(load("ADD_FUNC_CFG_ENG", 1041, t));
    EXPECT_FALSE(load("DRIVERCFG", 1033, t));
    EXPECT_FALSE(load("NO_SUCH_CFG", 1041, t));
}

}  // namespace
