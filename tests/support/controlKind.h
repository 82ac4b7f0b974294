// The kind of a dialog control as the dialog tables name it, from its class
// and button style; for any control record with `className` (upper case)
// and `style`, as the resource script reader and the DLL's templates give.
#pragma once

#include <windows.h>

#include "dialogTables.h"

namespace tavix::testing {

template <typename Control>
Kind kindOf(const Control& c) {
    if (c.className == "STATIC") return Kind::Static;
    if (c.className == "EDIT") return Kind::Edit;
    if (c.className == "COMBOBOX") return Kind::ComboBox;
    if (c.className == "LISTBOX") return Kind::ListBox;
    if (c.className == "MSCTLS_UPDOWN32") return Kind::UpDown;
    switch (c.style & BS_TYPEMASK) {
    case BS_GROUPBOX: return Kind::GroupBox;
    case BS_AUTORADIOBUTTON: return Kind::Radio;
    case BS_DEFPUSHBUTTON: return Kind::DefPushButton;
    case BS_OWNERDRAW: return Kind::OwnerDraw;
    default: return Kind::PushButton;
    }
}

}  // namespace tavix::testing
