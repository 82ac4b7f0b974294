// Where the polylines of a stream go once those held in memory reach their
// budget: an unnamed temporary file, written in order and read back in
// order. One spool serves all the pages of a stream, so that memory stays
// within the budget whatever the stream's size. Without a temporary file
// (none can be made, or writing one failed) polylines stay in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tavix::preview {

struct Polyline;

class PolylineSpool {
public:
    explicit PolylineSpool(size_t memoryBudget) : memoryLeft_(memoryBudget) {}
    ~PolylineSpool();
    PolylineSpool(const PolylineSpool&) = delete;
    PolylineSpool& operator=(const PolylineSpool&) = delete;

    // Takes `bytes` of the budget; false (taking nothing) when they do not fit.
    bool charge(size_t bytes);
    // Appends a polyline; false when it could not be written (it is then
    // the caller's to keep).
    bool write(const Polyline& line);
    uint64_t end() const { return end_; }

    // Reads polylines back from a file offset, in the order written.
    class Cursor {
    public:
        explicit Cursor(PolylineSpool* spool = nullptr, uint64_t at = 0) : spool_(spool), at_(at) {}
        // The next polyline; false at a failed read.
        bool next(Polyline& line);
        uint64_t at() const { return at_; }

    private:
        bool fill(size_t bytes);
        bool take(void* to, size_t bytes);

        PolylineSpool* spool_;
        uint64_t at_;
        std::vector<char> buffer_;
        uint64_t bufferAt_ = 0;  // file offset of buffer_[0]
    };

private:
    bool open();

    size_t memoryLeft_;
    FILE* file_ = nullptr;
    bool unusable_ = false;  // no file could be made, or a write failed
    bool flushed_ = true;
    uint64_t end_ = 0;
};

}  // namespace tavix::preview
