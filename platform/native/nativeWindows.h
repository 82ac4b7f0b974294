// Inside the native USER32/GDI32 stand-ins: the window record behind HWND,
// shared by nativeWindows.cpp, nativeGdi.cpp and scriptedUser.cpp.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/native/resourceScript.h"
#include "platform/native/scriptedUser.h"

// One dialog or control. Controls keep what USER32 keeps for them: text,
// enabled state, check state, list rows and selection, text limit and
// selection of a field, range, position and buddy of an up-down control.
struct HWND__ {
    bool isDialog = false;
    HWND__* dialog = nullptr;  // a control's dialog
    int id = 0;
    std::string className;     // upper case
    uint32_t style = 0;
    std::string text;          // code page 932
    bool enabled = true;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units

    // Dialog.
    const tavix::native::DialogTemplate* source = nullptr;
    std::string openedName;
    DLGPROC proc = nullptr;
    HWND__* owner = nullptr;
    std::vector<std::unique_ptr<HWND__>> controls;
    HWND__* focus = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    int messageBoxesShown = 0;

    // Buttons.
    int check = BST_UNCHECKED;
    bool pushed = false;

    // Edit fields.
    size_t limit = 30000;
    size_t selStart = 0, selEnd = 0;

    // Combo and list boxes.
    std::vector<std::string> items;
    std::vector<char> selected;  // list boxes
    int curSel = -1;             // combo boxes
    int anchor = 0, caret = 0;

    // Redrawing (WM_SETREDRAW), and the list rows inserted, deleted or
    // cleared while it was on: each of those repaints the list.
    bool redraw = true;
    int rowChangesDrawn = 0;

    // Up-down controls (the default range runs from 100 down to 0).
    int low = 100, high = 0, pos = 0;
    HWND__* buddy = nullptr;

    // Owner-drawn buttons.
    std::vector<tavix::native::BlitRecord> face, drawing;
    int paints = 0;
    bool invalid = false;

    bool is(const char* cls) const { return className == cls; }
    uint32_t buttonType() const { return style & BS_TYPEMASK; }
};

namespace tavix::native::detail {

bool isLiveWindow(const HWND__* window);
void fault(const std::string& what);
HWND__* topDialog();  // the innermost open dialog, or null

// Sends a message to a dialog's procedure (with DefDlgProc's handling of
// WM_CLOSE) or to a control.
LRESULT send(HWND__* window, UINT message, WPARAM wParam, LPARAM lParam);
void notify(HWND__* control, int code);  // WM_COMMAND from the control to its dialog
void changeFocus(HWND__* dialog, HWND__* to);
void paint(HWND__* control, UINT action);
void paintInvalid(HWND__* dialog);
bool messageBoxDuring(HWND__* dialog, int before);

// Owner-draw surfaces (nativeGdi.cpp).
HDC beginControlPaint(HWND__* control);
void endControlPaint(HDC dc);
bool isModuleHandle(HINSTANCE instance);
int liveGdiObjects();

}  // namespace tavix::native::detail
