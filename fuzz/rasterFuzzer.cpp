// Image rows of any size and content at every magnification, in the four
// output forms: the encoder must give exactly the bytes of the plain
// reference encoder, and never touch memory outside its fixed buffers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/plot/rasterReference.h"
#include "plot/rtlEncoder.h"
#include "support/recordingHost.h"
#include "tavix/driverState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix;
    FuzzedDataProvider in(data, size);
    static testing::RecordingHost host;
    host = testing::RecordingHost{};
    host.install();

    std::string expected;
    reference::Raster reference(&reference::appendTo, &expected);
    reference::Raster* oracle = &reference;

    int32_t width = in.ConsumeIntegralInRange<int32_t>(-2, 40000);
    int32_t height = in.ConsumeIntegralInRange<int32_t>(-2, 64);
    int32_t mode = in.ConsumeBool() ? 2 : 0;
    int32_t colour = in.ConsumeBool() ? 1 : 0;
    int32_t key = in.ConsumeIntegral<uint8_t>() & 1;
    int32_t magnify = in.PickValueInArray({1, 2, 3, 4, 8, 16, 0, -1, 100});
    beginRaster(width, height, mode, colour, key, 0, 1, 2, magnify);
    oracle->begin(width, height, mode, colour, key, 0, 1, 2, magnify);

    int rows = in.ConsumeIntegralInRange<int>(0, 8);
    for (int r = 0; r < rows && in.remaining_bytes() > 0; ++r) {
        bool bitonal = in.ConsumeBool();
        int32_t pixels = in.ConsumeIntegralInRange<int32_t>(-1, 40000);
        uint8_t red = in.ConsumeIntegral<uint8_t>(), green = in.ConsumeIntegral<uint8_t>(),
                blue = in.ConsumeIntegral<uint8_t>();
        size_t bytes = pixels <= 0 ? 0 : static_cast<size_t>(pixels) * (bitonal ? 1 : 3);
        // The row content repeats the fuzzer's bytes, so long rows stay cheap.
        std::vector<uint8_t> seed = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 64));
        if (seed.empty()) seed.push_back(0);
        std::vector<uint8_t> row(bytes);
        for (size_t i = 0; i < bytes; ++i) row[i] = seed[i % seed.size()];
        encodeRow(pixels, row.data(), bitonal, red, green, blue);
        oracle->encodeRow(pixels, row.data(), bitonal, red, green, blue);
    }
    endRaster();
    oracle->end();
    if (host.output != expected) std::abort();
    return 0;
}
