// Inside the scripted user: its queues and records, shared with the
// USER32 stand-in that calls it when a dialog opens or a box is shown.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/native/scriptedUser.h"

namespace tavix::native::detail {

struct ScriptedUserState {
    std::map<std::string, std::deque<DialogScript>> scripts;  // by lower-case template name
    MessageBoxAnswer answer;
    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> opened;
    std::vector<std::string> faults;
};

ScriptedUserState& scriptedUserState();

// Runs the next script queued for the dialog's template.
void runDialogScript(HWND__* dialog);

// Records the box and returns the scripted answer.
int answerMessageBox(const MessageBoxRecord& record);

}  // namespace tavix::native::detail
