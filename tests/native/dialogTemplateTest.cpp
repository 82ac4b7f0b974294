// The resource script against the dialog tables: every template in its six
// variants, with the ids, classes, rectangles, captions, sizes, fonts and
// language tags given for them; and the pictures it names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/native/embeddedResources.h"
#include "platform/native/resourceScript.h"
#include "support/controlKind.h"
#include "support/dialogTables.h"

namespace tavix::native {
namespace {

using testing::Kind;
using testing::kindOf;

TEST(DialogTemplates, theResourceScriptReadsWithoutError) {
    EXPECT_EQ("", driverResources().error);
    EXPECT_EQ(36u, driverResources().dialogs.size());
}

TEST(DialogTemplates, baseTemplatesMatchTheTablesControlByControl) {
    for (const auto& row : testing::dialogTables()) {
        SCOPED_TRACE(row.name);
        const DialogTemplate* d = findDialogTemplate(row.name);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(row.baseTitle, d->caption);
        EXPECT_EQ(row.sizes[0].cx, d->cx);
        EXPECT_EQ(row.sizes[0].cy, d->cy);
        ASSERT_EQ(row.controls.size(), d->controls.size());
        for (size_t i = 0; i < row.controls.size(); ++i) {
            const auto& want = row.controls[i];
            const auto& got = d->controls[i];
            SCOPED_TRACE(want.id);
            EXPECT_EQ(want.id, got.id);
            EXPECT_EQ(want.kind, kindOf(got));
            EXPECT_EQ(want.x, got.x);
            EXPECT_EQ(want.y, got.y);
            EXPECT_EQ(want.cx, got.cx);
            EXPECT_EQ(want.cy, got.cy);
            if (want.baseCaption != nullptr) {
                EXPECT_EQ(want.baseCaption, got.text);
            }
        }
    }
}

TEST(DialogTemplates, variantsKeepTheIdsClassesAndOrderAndTheLatinOnesLackTheirGroups) {
    for (const auto& row : testing::dialogTables()) {
        const DialogTemplate* base = findDialogTemplate(row.name);
        ASSERT_NE(nullptr, base);
        for (const char* suffix : testing::VARIANT_SUFFIXES) {
            std::string name = std::string(row.name) + suffix;
            SCOPED_TRACE(name);
            const DialogTemplate* d = findDialogTemplate(name);
            ASSERT_NE(nullptr, d);
            bool latin = suffix[0] != '\0' && std::string(suffix) != "_ENG";
            std::vector<const ControlTemplate*> expected;
            for (const auto& c : base->controls) {
                bool absent = false;
                for (int id : row.absentInLatinVariants) absent = absent || id == c.id;
                if (!(latin && absent)) expected.push_back(&c);
            }
            ASSERT_EQ(expected.size(), d->controls.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(expected[i]->id, d->controls[i].id);
                EXPECT_EQ(expected[i]->className, d->controls[i].className);
                EXPECT_EQ(kindOf(*expected[i]), kindOf(d->controls[i]));
                bool captioned = kindOf(d->controls[i]) != Kind::Edit && kindOf(d->controls[i]) != Kind::ComboBox &&
                                 kindOf(d->controls[i]) != Kind::ListBox && kindOf(d->controls[i]) != Kind::UpDown &&
                                 d->controls[i].id != 1026;
                if (captioned) {
                    EXPECT_NE("", d->controls[i].text) << d->controls[i].id;
                }
            }
            for (const auto& size : row.sizes) {
                if (std::string(size.suffix) == suffix) {
                    EXPECT_EQ(size.cx, d->cx);
                    EXPECT_EQ(size.cy, d->cy);
                }
            }
            EXPECT_EQ(name == "ADD_FUNC_CFG_ENG" ? 1033 : 1041, d->language);
            EXPECT_EQ(9, d->fontSize);
            if (suffix[0] == '\0') {
                EXPECT_EQ("ＭＳ Ｐゴシック", d->fontName);
                EXPECT_EQ(128, d->fontCharset);
            } else {
                EXPECT_EQ("MS Sans Serif", d->fontName);
            }
            EXPECT_EQ(static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                      d->style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
            EXPECT_NE("", d->caption);
        }
    }
}

TEST(DialogTemplates, englishVariantsCarryTheEnglishCaptions) {
    for (const auto& row : testing::dialogTables()) {
        std::string name = std::string(row.name) + "_ENG";
        SCOPED_TRACE(name);
        const DialogTemplate* d = findDialogTemplate(name);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(row.englishTitle, d->caption);
        for (const auto& want : row.controls) {
            if (want.englishCaption == nullptr) continue;
            const ControlTemplate* got = d->control(want.id);
            ASSERT_NE(nullptr, got) << want.id;
            EXPECT_EQ(want.englishCaption, got->text) << want.id;
        }
    }
}

TEST(DialogTemplates, controlStylesAreTheOnesTheDialogsRelyOn) {
    const DialogTemplate* device = findDialogTemplate("drivercfg");
    ASSERT_NE(nullptr, device);
    for (const auto& c : device->controls) {
        if (kindOf(c) == Kind::GroupBox) {
            EXPECT_TRUE(c.style & WS_GROUP) << c.id;
        }
        if (kindOf(c) == Kind::Radio) {
            EXPECT_TRUE(c.style & WS_TABSTOP) << c.id;
        }
        if (kindOf(c) == Kind::ComboBox) {
            EXPECT_EQ(static_cast<uint32_t>(CBS_DROPDOWNLIST), c.style & 3u) << c.id;
            EXPECT_TRUE(c.style & WS_VSCROLL) << c.id;
        }
    }
    const ControlTemplate* spin = device->control(115);
    ASSERT_NE(nullptr, spin);
    EXPECT_EQ(static_cast<uint32_t>(UDS_AUTOBUDDY | UDS_ARROWKEYS), spin->style & (UDS_AUTOBUDDY | UDS_ARROWKEYS));
    EXPECT_EQ(0u, spin->style & UDS_SETBUDDYINT);

    const ControlTemplate* list = findDialogTemplate("pen_lumen_cfg")->control(1060);
    ASSERT_NE(nullptr, list);
    uint32_t wanted = LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER;
    EXPECT_EQ(wanted, list->style & wanted);

    const ControlTemplate* offsetFrame = findDialogTemplate("stamp_cfg")->control(-1);
    ASSERT_NE(nullptr, offsetFrame);
    EXPECT_EQ(0u, offsetFrame->style & WS_GROUP);

    for (int id = 1073; id <= 1077; ++id) {
        const ControlTemplate* button = findDialogTemplate("modelcfg")->control(id);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(0u, button->style & WS_TABSTOP) << id;
    }
    EXPECT_EQ(nullptr, findDialogTemplate("modelcfg")->control(IDCANCEL));
}

TEST(DialogTemplates, lookupIgnoresCaseAndUnknownNamesAreNotFound) {
    EXPECT_EQ(findDialogTemplate("ADD_FUNC_CFG"), findDialogTemplate("add_func_cfg"));
    EXPECT_EQ(nullptr, findDialogTemplate("add_func"));
}

uint32_t le32(std::string_view b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

TEST(DialogPictures, everyPictureHasItsSizeAndColours) {
    struct Want {
        int id, width, height, bits;
    };
    std::vector<Want> wanted = {{101, 59, 28, 4}};
    for (int id = 123; id <= 132; ++id) wanted.push_back({id, 85, 80, 8});
    for (const auto& w : wanted) {
        SCOPED_TRACE(w.id);
        const BitmapResource* b = findBitmapResource(w.id);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(1041, b->language);
        std::string_view bytes = embeddedFile(b->file);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ("BM", bytes.substr(0, 2));
        EXPECT_EQ(static_cast<uint32_t>(w.width), le32(bytes, 18));
        EXPECT_EQ(static_cast<uint32_t>(w.height), le32(bytes, 22));
        EXPECT_EQ(w.bits, static_cast<unsigned char>(bytes[28]));
    }
}

TEST(DialogPictures, theGeneratorReproducesTheCommittedPictures) {
    std::string script = std::string(embeddedSourceRoot) + "/scripts/make-bitmaps.py";
    if (std::system("test -x /usr/bin/python3") != 0) GTEST_SKIP() << "no /usr/bin/python3";
    std::string command = "/usr/bin/python3 '" + script + "' --check";
    EXPECT_EQ(0, std::system(command.c_str()));
}

TEST(ResourceScript, unknownStatementsAndNamesAreReportedWithTheLine) {
    ResourceScript bad;
    EXPECT_FALSE(parseResourceScript("X DIALOGEX 0, 0, 10, 10\nBEGIN\n  SLIDER 5, 1, 1, 1, 1\nEND\n", "", bad));
    EXPECT_EQ("line 3: unknown control statement SLIDER", bad.error);
    ResourceScript unknownName;
    EXPECT_FALSE(parseResourceScript("X DIALOGEX 0, 0, 10, 10\nBEGIN\n  EDITTEXT IDC_NOPE, 1, 1, 1, 1\nEND\n",
                                     "", unknownName));
    EXPECT_EQ("line 3: unknown name IDC_NOPE", unknownName.error);
}

TEST(ResourceScript, stylesFollowTheKeywordDefaultsAndNotClearsABit) {
    ResourceScript s;
    ASSERT_TRUE(parseResourceScript(
        "X DIALOGEX 0, 0, 10, 10\nFONT 9, \"A\"\nBEGIN\n"
        "  LTEXT \"a \"\"b\"\"\", ID_A, 1, 2, 3, 4\n"
        "  PUSHBUTTON \"p\", 7, 1, 2, 3, 4, BS_PUSHBUTTON | WS_TABSTOP | NOT WS_VISIBLE\n"
        "END\n",
        "#define ID_A (40 | 2) /* forty-two */\n", s))
        << s.error;
    const DialogTemplate& d = s.dialogs.at(0);
    EXPECT_TRUE(d.style & DS_SETFONT);
    EXPECT_EQ("a \"b\"", d.controls[0].text);
    EXPECT_EQ(42, d.controls[0].id);
    EXPECT_EQ(static_cast<uint32_t>(WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP), d.controls[0].style);
    EXPECT_EQ(static_cast<uint32_t>(WS_CHILD | BS_PUSHBUTTON | WS_TABSTOP), d.controls[1].style);
}

}  // namespace
}  // namespace tavix::native
