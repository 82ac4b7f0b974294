// The driver record that DERIZ hands to the host, and its model table.
//
// The host reads this record directly, so its layout is a fixed byte format:
// byte-packed, little-endian, no field aligned beyond one byte.
//
//   Offset  Size    Content
//   0       81      banner: up to 80 characters naming the driver, NUL-padded
//   81      329     zero
//   410     4       address of ConfigEntry (configuration requests)
//   414     4       address of PlotEntry (plot requests)
//   418     2       16-bit value 4
//   420     12      zero
//   432     2       16-bit value 3
//   434     15      "$ACADPLNAME$", NUL-padded
//   449     32      "Microsoft Windows Win32", NUL-padded (odd offset)
//   481     2       16-bit value 6
//   483     21      "14.0-1", NUL-padded
//   504     5 x 38  the model table, five ModelEntry rows
//
// ModelEntry, 38 bytes:
//   0   32  name, NUL-terminated and NUL-padded
//   32  2   optionOutput: 1 = the model offers the Option output (job ticket)
//   34  2   reservedFlag: never read by the driver
//   36  2   hpglLevel: above 1 selects the scaled plot set-up
//
// The row number is the model index. Behaviour that depends on the model
// always follows the name, compared whole with its terminating NUL.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostAddress.h"

namespace tavix {

#pragma pack(push, 1)
struct ModelEntry {
    char name[32];
    int16_t optionOutput;
    int16_t reservedFlag;
    int16_t hpglLevel;
};

struct DriverRecord {
    char banner[81];
    uint8_t zero81[329];
    HostAddress configEntry;
    HostAddress plotEntry;
    int16_t value418;
    uint8_t zero420[12];
    int16_t value432;
    char plotterNameKey[15];
    char platformName[32];
    int16_t value481;
    char hostVersion[21];
    ModelEntry models[5];
};
#pragma pack(pop)

static_assert(sizeof(ModelEntry) == 38);
static_assert(offsetof(ModelEntry, optionOutput) == 32);
static_assert(offsetof(ModelEntry, reservedFlag) == 34);
static_assert(offsetof(ModelEntry, hpglLevel) == 36);
static_assert(offsetof(DriverRecord, configEntry) == 410);
static_assert(offsetof(DriverRecord, plotEntry) == 414);
static_assert(offsetof(DriverRecord, value418) == 418);
static_assert(offsetof(DriverRecord, zero420) == 420);
static_assert(offsetof(DriverRecord, value432) == 432);
static_assert(offsetof(DriverRecord, plotterNameKey) == 434);
static_assert(offsetof(DriverRecord, platformName) == 449);
static_assert(offsetof(DriverRecord, value481) == 481);
static_assert(offsetof(DriverRecord, hostVersion) == 483);
static_assert(offsetof(DriverRecord, models) == 504);
static_assert(sizeof(DriverRecord) == 504 + 5 * 38);

constexpr int MODEL_COUNT = 5;

// The model names, as published in the model table.
inline constexpr char MODEL_TX90[] = "TX-90-TAVIX E";
inline constexpr char MODEL_TX70[] = "TX-70-TAVIX E";
inline constexpr char MODEL_TX30[] = "TX-30-TAVIX E";
inline constexpr char MODEL_LUMEN_Q1[] = "Lumen Q1-TAVIX E";
inline constexpr char MODEL_TX_SERIES[] = "TX Series TAVIX E";

// The driver's banner: the first 81 bytes of the record (at most 80
// characters and the NUL).
#define TAVIX_DRIVER_BANNER "TAVIXDRV 1.0  HP-GL/2 and HP RTL driver for TAVIX E wide-format printers"
inline constexpr char DRIVER_BANNER[] = TAVIX_DRIVER_BANNER;
static_assert(sizeof(DRIVER_BANNER) <= 81);

// The record returned by DERIZ. Its entry addresses are filled by DERIZ.
extern DriverRecord driverRecord;

// True when the model's name equals `name`, terminating NUL included, so a
// name with further characters after one of the five matches none of them.
bool modelNameEquals(const ModelEntry& model, const char* name);

}  // namespace tavix
