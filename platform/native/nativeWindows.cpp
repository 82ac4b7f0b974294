// The native USER32 stand-in: in-memory modal dialogs built from the
// driver's resource script, with controls that keep their state and raise
// their notifications synchronously, inside the call that caused them, as
// USER32 does (writing a field's text raises EN_UPDATE and EN_CHANGE before
// SetDlgItemTextA returns). The scripted user supplies the input.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/native/codePage.h"
#include "platform/native/nativeWindows.h"
#include "platform/native/scriptedUserState.h"

using tavix::native::DialogTemplate;

namespace tavix::native::detail {

namespace {

std::set<const HWND__*> liveWindows;
std::vector<HWND__*> openDialogs;  // outermost first
int sendDepth = 0;
bool nestingRunaway = false;

// Deeper than this, a notification is taken to be re-raising itself without end.
constexpr int MAX_SEND_DEPTH = 64;

int pixelsX(int units) { return (units * NATIVE_BASE_UNIT_X + 2) / 4; }
int pixelsY(int units) { return (units * NATIVE_BASE_UNIT_Y + 4) / 8; }

void copyOut(const std::string& text, char* buffer, size_t capacity, size_t& copied) {
    copied = 0;
    if (buffer == nullptr || capacity == 0) return;
    copied = std::min(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
}

LRESULT defaultDialogMessage(HWND__* dialog, UINT message) {
    if (message == WM_CLOSE) {
        // DefDlgProc turns the close box into the Cancel command, unless a
        // Cancel button exists and is disabled.
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel != nullptr && !cancel->enabled) return 0;
        send(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(cancel));
    }
    return 0;
}

int listIndex(WPARAM w) { return static_cast<int>(static_cast<intptr_t>(w)); }

LRESULT insertRow(HWND__* c, int index, const char* text, bool isList) {
    if (text == nullptr) text = "";
    int count = static_cast<int>(c->items.size());
    if (index < 0) index = count;
    if (index > count) return isList ? LB_ERR : CB_ERR;
    c->items.insert(c->items.begin() + index, text);
    if (isList) c->selected.insert(c->selected.begin() + index, 0);
    if (!isList && c->curSel >= index) ++c->curSel;
    return index;
}

bool multipleSelection(const HWND__* c) { return (c->style & (LBS_EXTENDEDSEL | 0x0008L)) != 0; }

LRESULT editMessage(HWND__* c, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case EM_LIMITTEXT:
        c->limit = w == 0 ? 0x7FFFFFFEu : static_cast<size_t>(w);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(c->limit);
    case EM_SETSEL: {
        intptr_t start = static_cast<intptr_t>(w), end = static_cast<intptr_t>(l);
        size_t length = c->text.size();
        if (start == -1) {
            c->selStart = c->selEnd = std::min(c->selEnd, length);
            return 0;
        }
        auto clampPos = [length](intptr_t v) { return v < 0 ? length : std::min<size_t>(v, length); };
        size_t a = clampPos(start), b = clampPos(end);
        c->selStart = std::min(a, b);
        c->selEnd = std::max(a, b);
        return 0;
    }
    case EM_GETSEL:
        if (w != 0) *reinterpret_cast<DWORD*>(w) = static_cast<DWORD>(c->selStart);
        if (l != 0) *reinterpret_cast<DWORD*>(l) = static_cast<DWORD>(c->selEnd);
        return MAKELONG(c->selStart, c->selEnd);
    default:
        return 0;
    }
}

LRESULT comboMessage(HWND__* c, UINT message, WPARAM w, LPARAM l) {
    int count = static_cast<int>(c->items.size());
    switch (message) {
    case CB_RESETCONTENT:
        c->items.clear();
        c->curSel = -1;
        return 0;
    case CB_ADDSTRING:
        return insertRow(c, -1, reinterpret_cast<const char*>(l), false);
    case CB_INSERTSTRING:
        return insertRow(c, listIndex(w), reinterpret_cast<const char*>(l), false);
    case CB_DELETESTRING: {
        int i = listIndex(w);
        if (i < 0 || i >= count) return CB_ERR;
        c->items.erase(c->items.begin() + i);
        if (c->curSel == i) c->curSel = -1;
        else if (c->curSel > i) --c->curSel;
        return count - 1;
    }
    case CB_GETCOUNT:
        return count;
    case CB_SETCURSEL: {
        int i = listIndex(w);
        if (i < 0 || i >= count) {
            c->curSel = -1;
            return CB_ERR;
        }
        c->curSel = i;
        return i;
    }
    case CB_GETCURSEL:
        return c->curSel;
    case CB_GETLBTEXT: {
        int i = listIndex(w);
        if (i < 0 || i >= count || l == 0) return CB_ERR;
        const std::string& t = c->items[i];
        std::memcpy(reinterpret_cast<char*>(l), t.c_str(), t.size() + 1);
        return static_cast<LRESULT>(t.size());
    }
    case CB_GETLBTEXTLEN: {
        int i = listIndex(w);
        if (i < 0 || i >= count) return CB_ERR;
        return static_cast<LRESULT>(c->items[i].size());
    }
    default:
        return 0;
    }
}

// A row change the list shows at once: with redrawing on, each one repaints.
void rowChanged(HWND__* c) {
    if (c->redraw) ++c->rowChangesDrawn;
}

LRESULT listMessage(HWND__* c, UINT message, WPARAM w, LPARAM l) {
    int count = static_cast<int>(c->items.size());
    switch (message) {
    case LB_RESETCONTENT:
        rowChanged(c);
        c->items.clear();
        c->selected.clear();
        c->anchor = c->caret = 0;
        return 0;
    case LB_ADDSTRING:
        rowChanged(c);
        return insertRow(c, -1, reinterpret_cast<const char*>(l), true);
    case LB_INSERTSTRING:
        rowChanged(c);
        return insertRow(c, listIndex(w), reinterpret_cast<const char*>(l), true);
    case LB_DELETESTRING: {
        int i = listIndex(w);
        if (i < 0 || i >= count) return LB_ERR;
        rowChanged(c);
        c->items.erase(c->items.begin() + i);
        c->selected.erase(c->selected.begin() + i);
        return count - 1;
    }
    case LB_GETCOUNT:
        return count;
    case LB_SETSEL: {
        if (!multipleSelection(c)) return LB_ERR;
        int i = static_cast<int>(l);
        if (i == -1) {
            std::fill(c->selected.begin(), c->selected.end(), w ? 1 : 0);
            return 0;
        }
        if (i < 0 || i >= count) return LB_ERR;
        c->selected[i] = w ? 1 : 0;
        return 0;
    }
    case LB_GETSEL: {
        int i = listIndex(w);
        if (i < 0 || i >= count) return LB_ERR;
        return c->selected[i] ? 1 : 0;
    }
    case LB_GETSELCOUNT:
        if (!multipleSelection(c)) return LB_ERR;
        return std::count(c->selected.begin(), c->selected.end(), 1);
    case LB_GETSELITEMS: {
        if (!multipleSelection(c)) return LB_ERR;
        int max = static_cast<int>(w), n = 0;
        int* out = reinterpret_cast<int*>(l);
        for (int i = 0; i < count && n < max; ++i)
            if (c->selected[i]) out[n++] = i;
        return n;
    }
    case LB_GETTEXT: {
        int i = listIndex(w);
        if (i < 0 || i >= count || l == 0) return LB_ERR;
        const std::string& t = c->items[i];
        std::memcpy(reinterpret_cast<char*>(l), t.c_str(), t.size() + 1);
        return static_cast<LRESULT>(t.size());
    }
    case LB_GETTEXTLEN: {
        int i = listIndex(w);
        if (i < 0 || i >= count) return LB_ERR;
        return static_cast<LRESULT>(c->items[i].size());
    }
    case LB_GETCARETINDEX:
        return c->caret;
    default:
        return 0;
    }
}

LRESULT upDownMessage(HWND__* c, UINT message, WPARAM, LPARAM l) {
    switch (message) {
    case UDM_SETRANGE:
        c->high = static_cast<int16_t>(LOWORD(l));
        c->low = static_cast<int16_t>(HIWORD(l));
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(c->high, c->low);
    case UDM_SETPOS: {
        int previous = c->pos;
        int wanted = static_cast<int16_t>(LOWORD(l));
        int lo = std::min(c->low, c->high), hi = std::max(c->low, c->high);
        c->pos = std::clamp(wanted, lo, hi);
        return previous;
    }
    case UDM_GETPOS:
        return MAKELONG(c->pos, 0);
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(c->buddy);
    default:
        return 0;
    }
}

LRESULT controlMessage(HWND__* c, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_SETTEXT:
        c->text = l ? reinterpret_cast<const char*>(l) : "";
        if (c->is("EDIT")) {
            c->selStart = c->selEnd = c->text.size();
            notify(c, EN_UPDATE);
            notify(c, EN_CHANGE);
        }
        if (c->is("BUTTON") && c->buttonType() == BS_OWNERDRAW) c->invalid = true;
        return TRUE;
    case WM_GETTEXT: {
        size_t copied = 0;
        copyOut(c->text, reinterpret_cast<char*>(l), static_cast<size_t>(w), copied);
        return static_cast<LRESULT>(copied);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(c->text.size());
    case WM_SETREDRAW:
        c->redraw = w != 0;
        return 0;
    case BM_GETCHECK:
        return c->check;
    case BM_SETCHECK:
        c->check = static_cast<int>(w);
        return 0;
    case BM_SETSTYLE:
        c->style = (c->style & 0xFFFF0000u) | LOWORD(w);
        if (l) c->invalid = true;
        return 0;
    default:
        break;
    }
    if (c->is("EDIT")) return editMessage(c, message, w, l);
    if (c->is("COMBOBOX")) return comboMessage(c, message, w, l);
    if (c->is("LISTBOX")) return listMessage(c, message, w, l);
    if (c->is("MSCTLS_UPDOWN32")) return upDownMessage(c, message, w, l);
    return 0;
}

std::unique_ptr<HWND__> createDialog(const DialogTemplate& source, const std::string& name,
                                     HWND__* owner, DLGPROC proc) {
    auto d = std::make_unique<HWND__>();
    d->isDialog = true;
    d->source = &source;
    d->openedName = name;
    d->proc = proc;
    d->owner = owner;
    d->className = "#32770";
    d->style = source.style;
    d->text = utf8ToCp932(source.caption);
    d->x = source.x;
    d->y = source.y;
    d->cx = source.cx;
    d->cy = source.cy;
    HWND__* previous = nullptr;
    for (const auto& t : source.controls) {
        auto c = std::make_unique<HWND__>();
        c->dialog = d.get();
        c->id = t.id;
        c->className = t.className;
        c->style = t.style;
        c->text = utf8ToCp932(t.text);
        c->enabled = (t.style & WS_DISABLED) == 0;
        c->x = t.x;
        c->y = t.y;
        c->cx = t.cx;
        c->cy = t.cy;
        if (c->is("MSCTLS_UPDOWN32") && (t.style & UDS_AUTOBUDDY)) c->buddy = previous;
        if (c->is("EDIT")) c->selStart = c->selEnd = c->text.size();
        previous = c.get();
        liveWindows.insert(c.get());
        d->controls.push_back(std::move(c));
    }
    liveWindows.insert(d.get());
    return d;
}

HWND__* firstTabStop(HWND__* d) {
    for (auto& c : d->controls)
        if ((c->style & WS_TABSTOP) && c->enabled && (c->style & WS_VISIBLE)) return c.get();
    return nullptr;
}

}  // namespace

bool isLiveWindow(const HWND__* window) { return window != nullptr && liveWindows.count(window) != 0; }

void fault(const std::string& what) { scriptedUserState().faults.push_back(what); }

HWND__* topDialog() { return openDialogs.empty() ? nullptr : openDialogs.back(); }

LRESULT send(HWND__* window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isLiveWindow(window)) return 0;
    if (!window->isDialog) return controlMessage(window, message, wParam, lParam);
    if (nestingRunaway) return 0;
    if (sendDepth >= MAX_SEND_DEPTH) {
        // On Windows this ends in a stack overflow; here the runaway is
        // recorded and cut off until the outermost message has returned.
        nestingRunaway = true;
        fault("notifications nested without end in " + window->openedName);
        return 0;
    }
    ++sendDepth;
    INT_PTR handled = window->proc(window, message, wParam, lParam);
    --sendDepth;
    if (sendDepth == 0) nestingRunaway = false;
    if (!handled) return defaultDialogMessage(window, message);
    return handled;
}

void notify(HWND__* control, int code) {
    send(control->dialog, WM_COMMAND, MAKEWPARAM(control->id, code), reinterpret_cast<LPARAM>(control));
}

namespace {
void focusNotification(HWND__* c, bool gained) {
    if (c->is("EDIT")) {
        notify(c, gained ? EN_SETFOCUS : EN_KILLFOCUS);
    } else if (c->is("COMBOBOX")) {
        notify(c, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
    } else if (c->is("LISTBOX")) {
        if (c->style & LBS_NOTIFY) notify(c, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
    } else if (c->is("BUTTON")) {
        if (c->buttonType() == BS_OWNERDRAW) paint(c, ODA_FOCUS);
        else if (c->style & BS_NOTIFY) notify(c, gained ? BN_SETFOCUS : BN_KILLFOCUS);
    }
}
}  // namespace

void changeFocus(HWND__* dialog, HWND__* to) {
    HWND__* from = dialog->focus;
    if (from == to) return;
    // The new focus is in place before the old owner hears that it lost it.
    dialog->focus = to;
    if (from != nullptr && isLiveWindow(from)) {
        focusNotification(from, false);
        if (dialog->focus != to) return;  // moved again by the handler
    }
    if (to != nullptr) focusNotification(to, true);
}

void paint(HWND__* c, UINT action) {
    if (!isLiveWindow(c) || c->dialog->ended) return;
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(c->id);
    item.itemAction = action;
    item.itemState = (c->pushed ? ODS_SELECTED : 0) | (c->dialog->focus == c ? ODS_FOCUS : 0) |
                     (c->enabled ? 0 : ODS_DISABLED);
    item.hwndItem = c;
    item.rcItem = RECT{0, 0, pixelsX(c->cx), pixelsY(c->cy)};
    item.hDC = beginControlPaint(c);
    c->drawing.clear();
    send(c->dialog, WM_DRAWITEM, static_cast<WPARAM>(c->id), reinterpret_cast<LPARAM>(&item));
    endControlPaint(item.hDC);
    c->face = c->drawing;
    ++c->paints;
    c->invalid = false;
}

void paintInvalid(HWND__* dialog) {
    if (!isLiveWindow(dialog) || dialog->ended) return;
    for (auto& c : dialog->controls)
        if (c->invalid && c->is("BUTTON") && c->buttonType() == BS_OWNERDRAW) paint(c.get(), ODA_DRAWENTIRE);
}

bool messageBoxDuring(HWND__* dialog, int before) { return dialog->messageBoxesShown != before; }

}  // namespace tavix::native::detail

using namespace tavix::native;
using namespace tavix::native::detail;

namespace {
HWND__* asDialog(HWND window) {
    return isLiveWindow(window) && window->isDialog ? window : nullptr;
}
}  // namespace

HWND GetDlgItem(HWND dialog, int id) {
    HWND__* d = asDialog(dialog);
    if (d == nullptr) return nullptr;
    for (auto& c : d->controls)
        if (c->id == id) return c.get();
    return nullptr;
}

int GetDlgCtrlID(HWND control) { return isLiveWindow(control) && !control->isDialog ? control->id : 0; }

HWND GetParent(HWND window) {
    if (!isLiveWindow(window)) return nullptr;
    return window->isDialog ? window->owner : window->dialog;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (!isLiveWindow(window)) return FALSE;
    BOOL wasDisabled = window->enabled ? FALSE : TRUE;
    window->enabled = enable != FALSE;
    if (!window->isDialog) {
        if (!enable && window->dialog->focus == window) changeFocus(window->dialog, nullptr);
        if (window->is("BUTTON") && window->buttonType() == BS_OWNERDRAW) window->invalid = true;
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) { return isLiveWindow(window) && window->enabled ? TRUE : FALSE; }

HWND GetFocus() {
    HWND__* d = topDialog();
    if (d == nullptr) return nullptr;
    return d->focus != nullptr ? d->focus : d;
}

HWND SetFocus(HWND window) {
    HWND previous = GetFocus();
    if (!isLiveWindow(window)) return previous;
    if (window->isDialog) changeFocus(window, nullptr);
    else changeFocus(window->dialog, window);
    return previous;
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    HWND__* d = asDialog(dialog);
    if (d == nullptr) return FALSE;
    for (auto& c : d->controls)
        if (c->id >= firstId && c->id <= lastId && c->is("BUTTON"))
            c->check = c->id == checkId ? BST_CHECKED : BST_UNCHECKED;
    return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND c = GetDlgItem(dialog, id);
    if (c == nullptr) return FALSE;
    c->check = static_cast<int>(check);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND c = GetDlgItem(dialog, id);
    return c == nullptr ? 0 : static_cast<UINT>(c->check);
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND c = GetDlgItem(dialog, id);
    if (c == nullptr) return FALSE;
    send(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return TRUE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount) {
    HWND c = GetDlgItem(dialog, id);
    if (c == nullptr) {
        if (text != nullptr && maxCount > 0) text[0] = '\0';
        return 0;
    }
    // Cut at the byte limit, as an ANSI control does: the cut can split a
    // two-byte character.
    return static_cast<UINT>(send(c, WM_GETTEXT, static_cast<WPARAM>(maxCount < 0 ? 0 : maxCount),
                                  reinterpret_cast<LPARAM>(text)));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char digits[16];
    if (isSigned) std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    else std::snprintf(digits, sizeof digits, "%u", value);
    return SetDlgItemTextA(dialog, id, digits);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated != nullptr) *translated = FALSE;
    HWND c = GetDlgItem(dialog, id);
    if (c == nullptr) return 0;
    // Leading blanks are skipped; the number ends at the first character that
    // is not a digit. No digit, or a value out of range, reads as 0.
    const std::string& t = c->text;
    size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    bool negative = false;
    if (isSigned && i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    size_t firstDigit = i;
    uint64_t value = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
        value = value * 10 + static_cast<unsigned>(t[i] - '0');
        if (value > 0xFFFFFFFFull) return 0;
        ++i;
    }
    if (i == firstDigit) return 0;
    if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (translated != nullptr) *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<int64_t>(value)) : static_cast<UINT>(value);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(window, message, wParam, lParam);
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND c = GetDlgItem(dialog, id);
    return c == nullptr ? 0 : send(c, message, wParam, lParam);
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
    if (!isLiveWindow(window)) return FALSE;
    window->invalid = true;
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    if (!isLiveWindow(window)) return 0;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(window->style);
    case GWL_ID:
        return window->isDialog ? 0 : window->id;
    case GWL_HINSTANCE:
        return static_cast<LONG>(reinterpret_cast<intptr_t>(GetModuleHandleA("tavixdrv")));
    default:
        return 0;
    }
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (!isLiveWindow(window) || rect == nullptr) return FALSE;
    *rect = RECT{0, 0, (window->cx * NATIVE_BASE_UNIT_X + 2) / 4, (window->cy * NATIVE_BASE_UNIT_Y + 4) / 8};
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    MessageBoxRecord record;
    HWND__* d = asDialog(owner);
    record.dialog = d != nullptr ? d->openedName : "";
    record.text = text != nullptr ? text : "";
    record.caption = caption != nullptr ? caption : "Error";
    record.style = type;
    if (d != nullptr) ++d->messageBoxesShown;
    return answerMessageBox(record);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
    if (!isModuleHandle(instance) || templateName == nullptr || IS_INTRESOURCE(templateName) ||
        dialogProc == nullptr)
        return -1;
    const DialogTemplate* source = findDialogTemplate(templateName);
    if (source == nullptr) return -1;
    HWND__* ownerDialog = nullptr;
    if (owner != nullptr) {
        ownerDialog = asDialog(owner);
        if (ownerDialog == nullptr) return -1;
    }
    std::unique_ptr<HWND__> d = createDialog(*source, templateName, ownerDialog, dialogProc);
    HWND__* dialog = d.get();
    scriptedUserState().opened.push_back(templateName);
    if (ownerDialog != nullptr) ownerDialog->enabled = false;
    openDialogs.push_back(dialog);

    HWND__* first = firstTabStop(dialog);
    if (send(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam) && !dialog->ended) {
        first = firstTabStop(dialog);
        if (first != nullptr) {
            changeFocus(dialog, first);
            if (first->is("EDIT")) send(first, EM_SETSEL, 0, -1);
        }
    }
    if (!dialog->ended) {
        for (auto& c : dialog->controls)
            if (c->is("BUTTON") && c->buttonType() == BS_OWNERDRAW) paint(c.get(), ODA_DRAWENTIRE);
        runDialogScript(dialog);
    }
    if (!dialog->ended) {
        fault("the script left " + dialog->openedName + " open");
        dialog->result = -1;
    }
    INT_PTR result = dialog->result;
    openDialogs.pop_back();
    if (ownerDialog != nullptr) ownerDialog->enabled = true;
    liveWindows.erase(dialog);
    for (auto& c : dialog->controls) liveWindows.erase(c.get());
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    HWND__* d = asDialog(dialog);
    if (d == nullptr) return FALSE;
    d->result = result;
    d->ended = true;
    if (d->owner != nullptr) d->owner->enabled = true;
    // USER32 gives the focus to the dialog itself here, so a field that had
    // it hears that it lost it before the dialog goes.
    changeFocus(d, nullptr);
    return TRUE;
}
