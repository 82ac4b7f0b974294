#include "drawingReader.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace tavix::host {
namespace {

constexpr size_t CHUNK_BYTES = size_t{1} << 20;
constexpr int PROGRESS_EVERY_LINES = 4096;

// Hands out the lines of a file without their line ends. A line inside the
// chunk is a view into it; only a line that crosses chunks is copied.
class LineSource {
public:
    explicit LineSource(std::FILE* file) : file_(file), chunk_(CHUNK_BYTES) {}

    // False at the end of the file, or with `error` set.
    bool next(std::string_view& line, std::string& error) {
        carried_.clear();
        for (;;) {
            if (pos_ < filled_) {
                const char* start = chunk_.data() + pos_;
                const void* nl = std::memchr(start, '\n', filled_ - pos_);
                size_t length = nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) : filled_ - pos_;
                if (carried_.size() + length > MAX_LINE_BYTES) {
                    error = "longer than " + std::to_string(MAX_LINE_BYTES >> 20) + " MiB";
                    return false;
                }
                pos_ += length + (nl ? 1 : 0);
                bytesRead_ += length + (nl ? 1 : 0);
                if (nl && carried_.empty()) {
                    line = std::string_view(start, length);
                    return true;
                }
                carried_.append(start, length);
                if (nl) {
                    line = carried_;
                    return true;
                }
            }
            if (!fill(error)) return false;
            if (filled_ == 0) {
                line = carried_;
                return !carried_.empty();
            }
        }
    }

    uint64_t bytesRead() const { return bytesRead_; }

private:
    bool fill(std::string& error) {
        pos_ = 0;
        filled_ = std::fread(chunk_.data(), 1, chunk_.size(), file_);
        if (filled_ == 0 && std::ferror(file_)) {
            error = std::strerror(errno);
            return false;
        }
        return true;
    }

    std::FILE* file_;
    std::vector<char> chunk_;
    size_t pos_ = 0, filled_ = 0;
    std::string carried_;
    uint64_t bytesRead_ = 0;
};

}  // namespace

ReadOutcome readTextDrawing(std::FILE* file, const RequestSink& sink, const ReadProgress& progress) {
    ReadOutcome outcome;
    LineSource lines(file);
    DrawingLineParser parser;
    DrawingRequest request;
    std::string_view line;
    std::string error;
    int lineNumber = 0;
    while (lines.next(line, error)) {
        ++lineNumber;
        switch (parser.parse(line, lineNumber, request, outcome.readError)) {
            case DrawingLineParser::Result::Request:
                if (!sink(request)) return outcome;
                break;
            case DrawingLineParser::Result::Nothing: break;
            case DrawingLineParser::Result::Bad: return outcome;
        }
        if (progress && lineNumber % PROGRESS_EVERY_LINES == 0) progress(lines.bytesRead());
    }
    if (!error.empty()) {
        outcome.readError = "line " + std::to_string(lineNumber + 1) + ": " + error;
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace tavix::host
