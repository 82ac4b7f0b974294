#include "imageRows.h"

#include <cstddef>
#include <map>

#include "platform/hostAddress.h"
#include "tavix/packet.h"

namespace tavix::host {
namespace {

// The sources by host value.
std::map<int32_t, ImageRowSource*>& sources() {
    static std::map<int32_t, ImageRowSource*> registered;
    return registered;
}

// Offset of the host value in a row query.
constexpr size_t QUERY_HOST_VALUE = 32;

}  // namespace

// The driver calls these through the host addresses of the request; the
// reply travels back as a host address too.
struct RowFunctions {
    static HostAddress rowSource(void* query) {
        const uint8_t* q = static_cast<const uint8_t*>(query);
        auto found = sources().find(readI32(q, QUERY_HOST_VALUE));
        return found != sources().end() ? hostAddressOf(found->second->serve(q)) : 0;
    }
    static void rowRelease(HostAddress) {}
};

ImageRowSource::ImageRowSource(int32_t hostValue) : hostValue_(hostValue) { sources()[hostValue] = this; }

ImageRowSource::~ImageRowSource() {
    auto found = sources().find(hostValue_);
    if (found != sources().end() && found->second == this) sources().erase(found);
}

uint32_t ImageRowSource::rowSourceAddress() {
    return hostAddressOf(reinterpret_cast<const void*>(&RowFunctions::rowSource));
}

uint32_t ImageRowSource::rowReleaseAddress() {
    return hostAddressOf(reinterpret_cast<const void*>(&RowFunctions::rowRelease));
}

}  // namespace tavix::host
