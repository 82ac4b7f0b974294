// The three dialogs that host requests open. Each fetches the driver's own
// module by name right before it opens the outermost dialog; the nested
// dialogs use the same instance. No owner window, initialisation value 0.
#include "dialogs/launchers.h"

#include "dialogs/dialogFramework.h"
#include "tavix/driverState.h"

namespace tavix {

namespace {
int openOutermost(const char* templateName, DLGPROC handler) {
    state.moduleInstance = GetModuleHandleA("tavixdrv");
    return static_cast<int>(openDialog(templateName, nullptr, handler));
}
}  // namespace

int showModelDialog() { return openOutermost("modelcfg", modelDialogHandler); }
int showDeviceDialogAtConfig() { return openOutermost("detailcfg", deviceDialogHandler); }
int showDeviceDialogAtPlot() { return openOutermost("drivercfg", deviceDialogHandler); }

}  // namespace tavix
