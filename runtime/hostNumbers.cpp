#include "runtime/hostNumbers.h"

#include <cmath>

#include "tavix/packet.h"

namespace tavix {

double saneHostDouble(double value, double whenNaN) {
    if (std::isnan(value)) return whenNaN;
    if (value > HOST_DOUBLE_LIMIT) return HOST_DOUBLE_LIMIT;
    if (value < -HOST_DOUBLE_LIMIT) return -HOST_DOUBLE_LIMIT;
    return value;
}

double hostDouble(const uint8_t* record, size_t offset, double whenNaN) {
    return saneHostDouble(readF64(record, offset), whenNaN);
}

int32_t floorToInt32(double value) {
    if (std::isnan(value)) return 0;
    double f = std::floor(value);
    if (f >= 2147483647.0) return INT32_MAX;
    if (f <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(f);
}

int32_t clampToInt32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace tavix
