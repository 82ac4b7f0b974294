// Host addresses: the one place where the two builds differ in how a 32-bit
// value from a host record becomes something the driver can use.
//
// Packets, the host service table, the driver record and image row replies
// carry 32-bit addresses. In the 32-bit DLL they are plain pointers. In the
// 64-bit native build they are handles that the host (a test or the host
// program) registered beforehand; unregistered handles resolve to null.
#pragma once

#include <cstdint>

namespace tavix {

using HostAddress = uint32_t;

// The pointer a host address stands for, or null for 0 or an unknown handle.
void* hostPointer(HostAddress address);

// A host address for a pointer of the driver's or the host's own. In the DLL
// this is the pointer itself; natively the pointer is registered (once) and
// its handle returned. Null gives 0.
HostAddress hostAddressOf(const void* pointer);

// Natively: forgets every registration (tests start from a clean table).
void resetHostAddresses();

}  // namespace tavix
