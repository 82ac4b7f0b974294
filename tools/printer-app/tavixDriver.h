// The printer application's drivers: one per model, described from the
// driver's own tables (modelProfile, printerOptions: the same source as the
// PPDs), and the raster callbacks that print a job's pages through the
// page plotter the CUPS filter uses.
#pragma once

#include <pappl/pappl.h>

#include <mutex>
#include <string>

namespace tavix::printerapp {

// The five drivers ("tavix-tx90", ...), for papplMainloop.
int driverCount();
pappl_pr_driver_t* drivers();

// The model row of a driver name, or -1.
int modelOfDriver(const char* driverName);

// pappl_pr_driver_cb_t.
bool driverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri, const char* deviceId,
                    pappl_pr_driver_data_t* data, ipp_t** attrs, void* cbdata);

// The driver core is one per process (its state, the row sources by host
// value, the pen file in the working folder): one user at a time.
std::mutex& coreMutex();

// Where each printer keeps its pen table: <spool>/tavix-printer-<id>.
void setPrinterFolderRoot(const std::string& spoolDirectory);
std::string printerFolder(pappl_printer_t* printer);

// The vendor attributes' names (without "-default").
extern const char* const VENDOR_DENSITY;
extern const char* const VENDOR_STAMP;
extern const char* const VENDOR_CUT;
extern const char* const VENDOR_MIRROR;
extern const char* const VENDOR_INVERT;
extern const char* const VENDOR_MEDIA_TYPE;

}  // namespace tavix::printerapp
