// The library's entry points: the export DERIZ and the two request entries
// published in the driver record.
#pragma once

#include <cstdint>

#include "tavix/driverRecord.h"

#if defined(_WIN32)
#define TAVIX_STDCALL __stdcall
#define TAVIX_ENTRY_CDECL __cdecl
#else
#define TAVIX_STDCALL
#define TAVIX_ENTRY_CDECL
#endif

extern "C" {

// Stores the host's service table (replacing any earlier one) and returns the
// driver record. The second argument is not read.
tavix::DriverRecord* TAVIX_STDCALL DERIZ(const uint8_t* hostServices, uint32_t unused);

// Configuration requests. All replies go into the packet.
int TAVIX_ENTRY_CDECL ConfigEntry(uint8_t* packet);

// Plot requests. All replies go into the packet.
int TAVIX_ENTRY_CDECL PlotEntry(uint8_t* packet);
}
