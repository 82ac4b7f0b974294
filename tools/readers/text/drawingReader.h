// Drawing readers: each turns a file into drawing requests, one at a time,
// and hands them on as it reads, so memory does not grow with the drawing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "drawingFile.h"

namespace tavix::host {

// Takes one request; false stops the reading (the taker has its reason).
using RequestSink = std::function<bool(const DrawingRequest&)>;
// Bytes read so far, now and then.
using ReadProgress = std::function<void(uint64_t bytesRead)>;

// The outcome of reading: `readError` when the file itself was at fault
// (a bad line, a read error); false from the sink stops without one.
struct ReadOutcome {
    bool ok = false;
    std::string readError;
};

// The text format, read line by line from `file`.
ReadOutcome readTextDrawing(std::FILE* file, const RequestSink& sink, const ReadProgress& progress);

// A line longer than this is refused rather than held (a fill of 32767
// vertices in millimetres with many decimals stays well below it).
constexpr size_t MAX_LINE_BYTES = size_t{16} << 20;

}  // namespace tavix::host
