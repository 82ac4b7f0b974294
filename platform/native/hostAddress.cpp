// Native (64-bit) host addresses: a small registry of pointers. Handles are
// index + 1 shifted into a recognisable range so that a stray small integer
// from a packet never resolves by accident.
#include "platform/hostAddress.h"

#include <cstddef>
#include <vector>

namespace tavix {
namespace {

constexpr HostAddress HANDLE_BASE = 0x40000000u;

std::vector<const void*>& registry() {
    static std::vector<const void*> entries;
    return entries;
}

}  // namespace

void* hostPointer(HostAddress address) {
    auto& entries = registry();
    if (address <= HANDLE_BASE) return nullptr;
    std::size_t index = address - HANDLE_BASE - 1;
    if (index >= entries.size()) return nullptr;
    return const_cast<void*>(entries[index]);
}

HostAddress hostAddressOf(const void* pointer) {
    if (pointer == nullptr) return 0;
    auto& entries = registry();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == pointer) return HANDLE_BASE + 1 + static_cast<HostAddress>(i);
    }
    entries.push_back(pointer);
    return HANDLE_BASE + static_cast<HostAddress>(entries.size());
}

void resetHostAddresses() { registry().clear(); }

}  // namespace tavix
