// The three dialogs that host requests open. Each returns the dialog's
// result (0 OK, 5 Cancel, -1 when the template cannot be opened); callers
// ignore it and go on with whatever the settings now hold.
#pragma once

namespace tavix {

int showModelDialog();           // request 20: "modelcfg"
int showDeviceDialogAtConfig();  // request 21: "detailcfg"
int showDeviceDialogAtPlot();    // plot request 46: "drivercfg"

}  // namespace tavix
