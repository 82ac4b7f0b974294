// What the six dialogs share: their procedures, the list filling, the
// pictures on owner-drawn buttons, the warning boxes and the bounded text
// copies. Compiled for both builds: on Windows against USER32 and GDI32,
// natively against the stand-ins in platform/native.
#pragma once

#include <windows.h>
#if defined(_WIN32)
#include <commctrl.h>  // the up-down messages
#endif

#include <cstddef>
#include <cstdint>

namespace tavix {

// Dialog results.
constexpr INT_PTR DIALOG_OK = 0;
constexpr INT_PTR DIALOG_CANCEL = 5;

INT_PTR CALLBACK deviceDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK optionDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK penDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK stampDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK modelDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What a settings dialog's procedure is made of. WM_INITDIALOG runs
// initialise. OK runs accept, which takes the dialog's working copy into the
// one it was opened from, and ends the dialog unless accept refuses; Cancel
// ends it. Every other command goes to command, and the arrows of the
// up-down control spinId (none when 0) run stepped.
struct DialogParts {
    void (*initialise)(HWND dialog);
    bool (*accept)(HWND dialog);
    void (*command)(HWND dialog, int id, int code);
    int spinId = 0;
    void (*stepped)(HWND dialog) = nullptr;
};

// The dialog procedure of those parts; FALSE for the messages they leave to
// the dialog manager.
INT_PTR handleDialogMessage(const DialogParts& parts, HWND dialog, UINT message, WPARAM wParam,
                            LPARAM lParam);

// The row the user picked in a drop-down list (notification `code`), or -1
// when the notification is not a selection change or no row is selected.
int selectedRow(HWND dialog, int comboId, int code);

// Opens a template of the driver module (state.moduleInstance) with the
// given owner; returns the dialog's result.
INT_PTR openDialog(const char* templateName, HWND owner, DLGPROC handler);

// List filling: empty the list, insert the table's labels as stored at
// positions 0, 1, 2 ..., select `index` (no selection when it has no row).
void fillPaperSizeList(HWND dialog, int index);
void fillMediaTypeList(HWND dialog, int index);
void fillTrayList(HWND dialog, int index);
void fillLineEndList(HWND dialog, int index);
void fillStampPositionList(HWND dialog, int index);
void fillFontSizeList(HWND dialog, int index);

// The pictures of owner-drawn buttons, stretched over the button.
void drawBadge(HWND dialog, const DRAWITEMSTRUCT& item);
void drawModelPicture(HWND dialog, const DRAWITEMSTRUCT& item);

// Shows message slot `textSlot` in a warning box owned by the dialog, with
// slot `captionSlot` as its caption.
void showFieldWarning(HWND dialog, int textSlot, int captionSlot);

// Writes a field while the dialog's own write must not count as the
// user's edit of it.
void writeOwnFieldInt(HWND dialog, int id, UINT value);
void writeOwnFieldText(HWND dialog, int id, const char* text);

// Copies at most capacity - 1 bytes of text into out without splitting a
// two-byte (code page 932) character; always terminates out.
void copyBoundedText(char* out, size_t capacity, const char* text);

}  // namespace tavix
