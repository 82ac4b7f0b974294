// A reader for the subset of the resource-script language that
// resources/tavixdrv.rc uses, so that the native dialogs are built from the
// same templates as the DLL's: LANGUAGE, DIALOGEX with STYLE, EXSTYLE,
// CAPTION and FONT, the control statements CONTROL, LTEXT, RTEXT, CTEXT,
// GROUPBOX, PUSHBUTTON, DEFPUSHBUTTON, AUTORADIOBUTTON, EDITTEXT, COMBOBOX
// and LISTBOX, and BITMAP. Styles follow windres: a control statement
// without a style gets its keyword's default style, one with a style gets
// the keyword's base style, WS_CHILD and WS_VISIBLE, then the given terms
// ("NOT x" clears x). Identifiers come from resource.h and the Win32
// constants of our <windows.h>. Texts stay UTF-8 as written.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavix::native {

struct ControlTemplate {
    std::string keyword;    // the statement, "LTEXT", "CONTROL", ...
    std::string className;  // upper case: "BUTTON", "STATIC", "EDIT", "COMBOBOX", "LISTBOX", "MSCTLS_UPDOWN32"
    std::string text;       // UTF-8
    int id = 0;             // -1 for IDC_STATIC
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    uint32_t style = 0;
    uint32_t exStyle = 0;
};

struct DialogTemplate {
    std::string name;  // as written, upper case
    int language = 0;  // 1041, 1033
    int x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string caption;  // UTF-8
    int fontSize = 0;
    std::string fontName;  // UTF-8
    int fontWeight = 0, fontItalic = 0, fontCharset = 0;
    std::vector<ControlTemplate> controls;

    // The first control with this id, or null.
    const ControlTemplate* control(int id) const;
};

struct BitmapResource {
    int id = 0;
    int language = 0;
    std::string file;  // relative to the script's folder
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;
    std::vector<BitmapResource> bitmaps;
    std::map<std::string, long> defines;  // from the resource header
    std::string error;                    // "line N: ..." when reading failed
};

// Reads the script and its header. Returns false (with out.error) at the
// first statement it does not understand.
bool parseResourceScript(std::string_view script, std::string_view header, ResourceScript& out);

// The driver's own resources, read once from the embedded files.
const ResourceScript& driverResources();

// The template with this name, compared without regard to case; null if none.
const DialogTemplate* findDialogTemplate(std::string_view name);

// The bitmap with this id; null if none.
const BitmapResource* findBitmapResource(int id);

}  // namespace tavix::native
