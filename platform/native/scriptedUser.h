// The scripted user of the native build: plays the person in front of the
// driver's dialogs. Tests and the host program queue one script per dialog
// opening; when the driver opens that dialog (DialogBoxParamA of our
// USER32 stand-in), its script runs with a DialogDriver that clicks, types,
// picks list rows, moves the focus and presses keys. Every action raises the
// notifications USER32 raises, synchronously, so the dialog procedures run
// exactly as on Windows; a nested dialog opened by an action runs its own
// script inside that action. Message boxes are answered by the scripted
// user and recorded.
//
// Texts are code page 932 bytes, as GetDlgItemTextA gives them on a
// Japanese system; cp932()/utf8() convert for test sources written in UTF-8.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavix::native {

// One stretch-copy of a picture onto an owner-drawn control's surface.
struct BlitRecord {
    int bitmapId;  // the resource id of the picture selected into the source
    int x, y, width, height;
    int sourceX, sourceY, sourceWidth, sourceHeight;
    DWORD rop;
};

struct MessageBoxRecord {
    std::string dialog;  // template of the owner dialog ("" when not owned by one)
    std::string text;    // code page 932
    std::string caption;
    UINT style;
};

class DialogDriver {
public:
    explicit DialogDriver(HWND dialog);

    HWND window() const { return dialog_; }
    const std::string& templateName() const { return name_; }  // as opened, "add_func_cfg"
    bool isOpen() const;

    // Mouse actions. A click on a disabled control or a static text does
    // nothing. Clicking a button, field or list moves the focus to it first.
    void click(int id);
    void select(int comboId, int row);           // pick a row of a drop-down list
    void clickItem(int listId, int row);         // select only this row
    void ctrlClickItem(int listId, int row);     // toggle this row
    void shiftClickItem(int listId, int row);    // select from the anchor to this row
    void selectItems(int listId, const std::vector<int>& rows);  // click, then ctrl-click the rest
    void spinUp(int spinId, int steps = 1);      // the up-down control's arrows
    void spinDown(int spinId, int steps = 1);

    // Keyboard actions.
    void focus(int id);                          // Tab to the control (a field's text gets selected)
    void type(int id, std::string_view text);    // focus, select all, type the characters one by one
    void append(int id, std::string_view text);  // focus, type at the end
    void backspace(int id, int count = 1);       // focus, delete characters before the caret
    void clear(int id);                          // focus, select all, delete
    void escape();
    void enter();

    // Other ways in.
    void setText(int id, std::string_view text);  // WM_SETTEXT from outside: no focus change, no limit
    void ok() { click(IDOK); }
    void cancel() { click(IDCANCEL); }
    void closeBox();                              // the caption's close button

    // What the user sees.
    bool exists(int id) const;
    std::string caption() const;
    std::string text(int id) const;
    bool enabled(int id) const;
    bool checked(int id) const;
    std::vector<std::string> items(int id) const;
    int selection(int comboId) const;                  // -1 when none
    std::vector<int> selectedItems(int listId) const;  // ascending
    int spinPosition(int spinId) const;
    std::pair<int, int> spinRange(int spinId) const;   // low, high
    int textLimit(int id) const;
    std::pair<int, int> textSelection(int id) const;   // start, end in bytes
    int focusedId() const;                              // 0 when no control has the focus
    std::vector<BlitRecord> face(int id) const;         // the blits of its last painting
    int paintCount(int id) const;
    bool redrawing(int id) const;       // WM_SETREDRAW's state, on when never sent
    int rowChangesDrawn(int listId) const;  // rows changed while redrawing was on
    RECT clientRect() const;                            // pixels

private:
    HWND control(int id, const char* action) const;
    bool takesInput(const char* action) const;

    HWND dialog_;
    std::string name_;
};

using DialogScript = std::function<void(DialogDriver&)>;
using MessageBoxAnswer = std::function<int(const MessageBoxRecord&)>;

namespace scriptedUser {

// Queues a script for the next opening of the named template (compared
// without regard to case). Scripts for one template run in queue order.
void expect(std::string_view templateName, DialogScript script);

// Answers message boxes (default: the first button, IDOK). The answer
// runs while the box is up, so it can look at the dialog behind it.
void answerMessageBoxes(MessageBoxAnswer answer);

// What happened: every message box shown, every dialog opened (template
// names as opened), and the faults: a dialog without a script, a script
// that left its dialog open, an action on a closed or blocked dialog or on
// a control that does not exist, notifications nested without end.
const std::vector<MessageBoxRecord>& messageBoxes();
const std::vector<std::string>& openedDialogs();
const std::vector<std::string>& faults();
size_t pendingScripts();

// Live GDI objects (pictures and memory surfaces) not yet deleted.
int gdiObjectsInUse();

// Forgets scripts, records and faults.
void reset();

}  // namespace scriptedUser

// UTF-8 <-> code page 932, for scripts written in UTF-8.
std::string cp932(std::string_view utf8);
std::string utf8(std::string_view cp932Text);

// Pixels per dialog unit of the native dialogs: the average character of
// the 9-point dialog font is 6 x 12 pixels.
constexpr int NATIVE_BASE_UNIT_X = 6;
constexpr int NATIVE_BASE_UNIT_Y = 12;

}  // namespace tavix::native
