// The scripted user: runs the queued script of each dialog as it opens and
// turns its actions into what USER32 would raise for a person's mouse and
// keyboard.
#include "platform/native/scriptedUser.h"

#include <algorithm>
#include <cctype>

#include "platform/native/codePage.h"
#include "platform/native/nativeWindows.h"
#include "platform/native/scriptedUserState.h"

namespace tavix::native {

using namespace detail;

namespace detail {

ScriptedUserState& scriptedUserState() {
    static ScriptedUserState state;
    return state;
}

namespace {
std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}
}  // namespace

void runDialogScript(HWND__* dialog) {
    auto& queue = scriptedUserState().scripts[lower(dialog->openedName)];
    if (queue.empty()) {
        fault("no script for " + dialog->openedName);
        return;
    }
    DialogScript script = std::move(queue.front());
    queue.pop_front();
    DialogDriver driver(dialog);
    script(driver);
}

int answerMessageBox(const MessageBoxRecord& record) {
    auto& s = scriptedUserState();
    s.boxes.push_back(record);
    return s.answer ? s.answer(record) : IDOK;
}

}  // namespace detail

namespace {

// The characters of a code page 932 text, one or two bytes each.
std::vector<std::string> characters(std::string_view text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        size_t n = isCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        out.emplace_back(text.substr(i, n));
        i += n;
    }
    return out;
}

// Where the character before byte offset `at` begins.
size_t previousCharacter(const std::string& text, size_t at) {
    size_t start = 0;
    for (size_t i = 0; i < at;) {
        start = i;
        i += isCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return start;
}

void replaceSelection(HWND__* field, std::string_view with) {
    if (field->text.size() - (field->selEnd - field->selStart) + with.size() > field->limit) {
        notify(field, EN_MAXTEXT);
        return;
    }
    field->text.replace(field->selStart, field->selEnd - field->selStart, with);
    field->selStart = field->selEnd = field->selStart + with.size();
    notify(field, EN_UPDATE);
    notify(field, EN_CHANGE);
}

bool isPushButton(const HWND__* c) {
    return c->is("BUTTON") && (c->buttonType() == BS_PUSHBUTTON || c->buttonType() == BS_DEFPUSHBUTTON);
}

bool takesFocus(const HWND__* c) {
    if (c->is("STATIC") || c->is("MSCTLS_UPDOWN32")) return false;
    if (c->is("BUTTON") && c->buttonType() == BS_GROUPBOX) return false;
    return true;
}

void checkAutoRadio(HWND__* button) {
    auto& controls = button->dialog->controls;
    size_t at = 0;
    while (controls[at].get() != button) ++at;
    size_t first = at;
    while (first > 0 && !(controls[first]->style & WS_GROUP)) --first;
    size_t last = at + 1;
    while (last < controls.size() && !(controls[last]->style & WS_GROUP)) ++last;
    for (size_t i = first; i < last; ++i) {
        HWND__* c = controls[i].get();
        if (c != button && c->is("BUTTON") && c->buttonType() == BS_AUTORADIOBUTTON) c->check = BST_UNCHECKED;
    }
    button->check = BST_CHECKED;
}

}  // namespace

DialogDriver::DialogDriver(HWND dialog) : dialog_(dialog), name_(dialog->openedName) {}

bool DialogDriver::isOpen() const { return isLiveWindow(dialog_) && !dialog_->ended; }

bool DialogDriver::takesInput(const char* action) const {
    if (!isOpen()) {
        fault(std::string(action) + " on " + name_ + " after it closed");
        return false;
    }
    if (topDialog() != dialog_) {
        fault(std::string(action) + " on " + name_ + " while a dialog it opened is up");
        return false;
    }
    return true;
}

HWND DialogDriver::control(int id, const char* action) const {
    if (!takesInput(action)) return nullptr;
    HWND c = GetDlgItem(dialog_, id);
    if (c == nullptr) fault(std::string(action) + ": " + name_ + " has no control " + std::to_string(id));
    return c;
}

void DialogDriver::click(int id) {
    HWND c = control(id, "click");
    if (c == nullptr || !c->enabled || !dialog_->enabled) return;
    if (takesFocus(c)) {
        int boxes = dialog_->messageBoxesShown;
        changeFocus(dialog_, c);
        // A box raised by the field that lost the focus takes the mouse:
        // the press never becomes a click.
        if (messageBoxDuring(dialog_, boxes) || !isOpen()) {
            paintInvalid(dialog_);
            return;
        }
    }
    if (c->is("BUTTON")) {
        uint32_t type = c->buttonType();
        if (type == BS_GROUPBOX) return;
        if (type == BS_OWNERDRAW) {
            c->pushed = true;
            paint(c, ODA_SELECT);
            c->pushed = false;
            paint(c, ODA_SELECT);
        }
        if (type == BS_AUTORADIOBUTTON) checkAutoRadio(c);
        if (type == BS_AUTOCHECKBOX) c->check = c->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        notify(c, BN_CLICKED);
    }
    paintInvalid(dialog_);
}

void DialogDriver::select(int comboId, int row) {
    HWND c = control(comboId, "select");
    if (c == nullptr || !c->enabled) return;
    if (!c->is("COMBOBOX") || row < 0 || row >= static_cast<int>(c->items.size())) {
        fault("select: " + name_ + " control " + std::to_string(comboId) + " has no row " + std::to_string(row));
        return;
    }
    changeFocus(dialog_, c);
    notify(c, CBN_DROPDOWN);
    c->curSel = row;
    notify(c, CBN_SELCHANGE);
    notify(c, CBN_SELENDOK);
    notify(c, CBN_CLOSEUP);
    paintInvalid(dialog_);
}

namespace {
enum class ItemClick { Plain, Ctrl, Shift };

void clickListItem(DialogDriver& driver, HWND c, int row, ItemClick how, const std::string& name) {
    if (c == nullptr || !c->enabled) return;
    if (!c->is("LISTBOX") || row < 0 || row >= static_cast<int>(c->items.size())) {
        fault("list click: " + name + " has no row " + std::to_string(row));
        return;
    }
    changeFocus(c->dialog, c);
    switch (how) {
    case ItemClick::Plain:
        std::fill(c->selected.begin(), c->selected.end(), 0);
        c->selected[row] = 1;
        c->anchor = row;
        break;
    case ItemClick::Ctrl:
        c->selected[row] = c->selected[row] ? 0 : 1;
        c->anchor = row;
        break;
    case ItemClick::Shift:
        std::fill(c->selected.begin(), c->selected.end(), 0);
        for (int i = std::min(c->anchor, row); i <= std::max(c->anchor, row); ++i) c->selected[i] = 1;
        break;
    }
    c->caret = row;
    if (c->style & LBS_NOTIFY) notify(c, LBN_SELCHANGE);
    paintInvalid(c->dialog);
    (void)driver;
}
}  // namespace

void DialogDriver::clickItem(int listId, int row) {
    clickListItem(*this, control(listId, "click row"), row, ItemClick::Plain, name_);
}
void DialogDriver::ctrlClickItem(int listId, int row) {
    clickListItem(*this, control(listId, "ctrl-click row"), row, ItemClick::Ctrl, name_);
}
void DialogDriver::shiftClickItem(int listId, int row) {
    clickListItem(*this, control(listId, "shift-click row"), row, ItemClick::Shift, name_);
}

void DialogDriver::selectItems(int listId, const std::vector<int>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i == 0) clickItem(listId, rows[i]);
        else ctrlClickItem(listId, rows[i]);
    }
}

namespace {
void spin(HWND__* dialog, HWND c, int delta, int steps) {
    if (c == nullptr || !c->enabled) return;
    if (!c->is("MSCTLS_UPDOWN32")) {
        fault("spin: control " + std::to_string(c->id) + " is not an up-down control");
        return;
    }
    // The arrows give the focus to the field they are attached to.
    if (c->buddy != nullptr && c->buddy->is("EDIT")) changeFocus(dialog, c->buddy);
    // A range given high to low runs the other way.
    if (c->low > c->high) delta = -delta;
    int lo = std::min(c->low, c->high), hi = std::max(c->low, c->high);
    for (int i = 0; i < steps && isLiveWindow(c) && !dialog->ended; ++i) {
        int next = std::clamp(c->pos + delta, lo, hi);
        if (next == c->pos) continue;
        c->pos = next;
        send(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c->pos), reinterpret_cast<LPARAM>(c));
    }
    if (isLiveWindow(c) && !dialog->ended)
        send(dialog, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, c->pos), reinterpret_cast<LPARAM>(c));
    paintInvalid(dialog);
}
}  // namespace

void DialogDriver::spinUp(int spinId, int steps) { spin(dialog_, control(spinId, "spin up"), 1, steps); }
void DialogDriver::spinDown(int spinId, int steps) { spin(dialog_, control(spinId, "spin down"), -1, steps); }

void DialogDriver::focus(int id) {
    HWND c = control(id, "focus");
    if (c == nullptr || !c->enabled || !takesFocus(c)) return;
    changeFocus(dialog_, c);
    if (c->is("EDIT") && isLiveWindow(c)) {
        c->selStart = 0;
        c->selEnd = c->text.size();
    }
    paintInvalid(dialog_);
}

void DialogDriver::type(int id, std::string_view text) {
    HWND c = control(id, "type");
    if (c == nullptr || !c->enabled) return;
    if (!c->is("EDIT")) {
        fault("type: control " + std::to_string(id) + " is not a field");
        return;
    }
    focus(id);
    if (!isLiveWindow(c) || dialog_->focus != c) return;
    if (text.empty()) {
        if (c->selEnd > c->selStart) replaceSelection(c, "");
    }
    for (const std::string& ch : characters(text)) {
        if (!isLiveWindow(c) || dialog_->ended) break;
        replaceSelection(c, ch);
    }
    paintInvalid(dialog_);
}

void DialogDriver::append(int id, std::string_view text) {
    HWND c = control(id, "append");
    if (c == nullptr || !c->enabled || !c->is("EDIT")) return;
    changeFocus(dialog_, c);
    for (const std::string& ch : characters(text)) {
        if (!isLiveWindow(c) || dialog_->ended) break;
        c->selStart = c->selEnd = c->text.size();
        replaceSelection(c, ch);
    }
    paintInvalid(dialog_);
}

void DialogDriver::backspace(int id, int count) {
    HWND c = control(id, "backspace");
    if (c == nullptr || !c->enabled || !c->is("EDIT")) return;
    changeFocus(dialog_, c);
    for (int i = 0; i < count && isLiveWindow(c) && !dialog_->ended; ++i) {
        if (c->selEnd == c->selStart) {
            if (c->selStart == 0) break;
            c->selStart = previousCharacter(c->text, c->selStart);
        }
        replaceSelection(c, "");
    }
    paintInvalid(dialog_);
}

void DialogDriver::clear(int id) { type(id, ""); }

void DialogDriver::setText(int id, std::string_view text) {
    HWND c = control(id, "set text");
    if (c == nullptr) return;
    std::string copy(text);
    send(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    paintInvalid(dialog_);
}

void DialogDriver::escape() {
    if (!takesInput("escape")) return;
    send(dialog_, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDCANCEL)));
    paintInvalid(dialog_);
}

void DialogDriver::enter() {
    if (!takesInput("enter")) return;
    // A focused push button takes the key; otherwise the default button does.
    HWND__* target = dialog_->focus;
    if (target == nullptr || !isPushButton(target)) {
        target = nullptr;
        for (auto& c : dialog_->controls)
            if (c->is("BUTTON") && c->buttonType() == BS_DEFPUSHBUTTON) target = c.get();
        if (target != nullptr && !target->enabled) return;
    }
    int id = target != nullptr ? target->id : IDOK;
    send(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(target));
    paintInvalid(dialog_);
}

void DialogDriver::closeBox() {
    if (!takesInput("close box")) return;
    send(dialog_, WM_CLOSE, 0, 0);
    paintInvalid(dialog_);
}

namespace {
HWND peek(HWND dialog, int id) {
    if (!isLiveWindow(dialog)) return nullptr;
    return GetDlgItem(dialog, id);
}
}  // namespace

bool DialogDriver::exists(int id) const { return peek(dialog_, id) != nullptr; }
std::string DialogDriver::caption() const { return isLiveWindow(dialog_) ? dialog_->text : std::string(); }
std::string DialogDriver::text(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr ? c->text : std::string();
}
bool DialogDriver::enabled(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr && c->enabled;
}
bool DialogDriver::checked(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr && c->check == BST_CHECKED;
}
std::vector<std::string> DialogDriver::items(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr ? c->items : std::vector<std::string>();
}
int DialogDriver::selection(int comboId) const {
    HWND c = peek(dialog_, comboId);
    return c != nullptr ? c->curSel : -1;
}
std::vector<int> DialogDriver::selectedItems(int listId) const {
    std::vector<int> rows;
    HWND c = peek(dialog_, listId);
    if (c != nullptr)
        for (size_t i = 0; i < c->selected.size(); ++i)
            if (c->selected[i]) rows.push_back(static_cast<int>(i));
    return rows;
}
int DialogDriver::spinPosition(int spinId) const {
    HWND c = peek(dialog_, spinId);
    return c != nullptr ? c->pos : 0;
}
std::pair<int, int> DialogDriver::spinRange(int spinId) const {
    HWND c = peek(dialog_, spinId);
    return c != nullptr ? std::make_pair(c->low, c->high) : std::make_pair(0, 0);
}
int DialogDriver::textLimit(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr ? static_cast<int>(c->limit) : 0;
}
std::pair<int, int> DialogDriver::textSelection(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr ? std::make_pair(static_cast<int>(c->selStart), static_cast<int>(c->selEnd))
                        : std::make_pair(0, 0);
}
int DialogDriver::focusedId() const {
    return isLiveWindow(dialog_) && dialog_->focus != nullptr ? dialog_->focus->id : 0;
}
std::vector<BlitRecord> DialogDriver::face(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr ? c->face : std::vector<BlitRecord>();
}
int DialogDriver::paintCount(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr ? c->paints : 0;
}
bool DialogDriver::redrawing(int id) const {
    HWND c = peek(dialog_, id);
    return c != nullptr && c->redraw;
}
int DialogDriver::rowChangesDrawn(int listId) const {
    HWND c = peek(dialog_, listId);
    return c != nullptr ? c->rowChangesDrawn : 0;
}
RECT DialogDriver::clientRect() const {
    RECT r{};
    GetClientRect(dialog_, &r);
    return r;
}

namespace scriptedUser {

void expect(std::string_view templateName, DialogScript script) {
    scriptedUserState().scripts[lower(templateName)].push_back(std::move(script));
}

void answerMessageBoxes(MessageBoxAnswer answer) { scriptedUserState().answer = std::move(answer); }

const std::vector<MessageBoxRecord>& messageBoxes() { return scriptedUserState().boxes; }
const std::vector<std::string>& openedDialogs() { return scriptedUserState().opened; }
const std::vector<std::string>& faults() { return scriptedUserState().faults; }

size_t pendingScripts() {
    size_t n = 0;
    for (const auto& [name, queue] : scriptedUserState().scripts) n += queue.size();
    return n;
}

int gdiObjectsInUse() { return liveGdiObjects(); }

void reset() {
    auto& s = scriptedUserState();
    s.scripts.clear();
    s.answer = nullptr;
    s.boxes.clear();
    s.opened.clear();
    s.faults.clear();
}

}  // namespace scriptedUser

std::string cp932(std::string_view utf8Text) { return utf8ToCp932(utf8Text); }
std::string utf8(std::string_view cp932Text) { return cp932ToUtf8(cp932Text); }

}  // namespace tavix::native
