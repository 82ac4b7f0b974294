#include "polylineSpool.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "streamModel.h"

namespace tavix::preview {
namespace {

constexpr size_t READ_BLOCK = 1 << 20;

// A record: offset, style, clip, point count, points.
struct RecordHead {
    uint64_t offset;
    StrokeStyle style;
    Rect clip;
    uint64_t points;
};

}  // namespace

PolylineSpool::~PolylineSpool() {
    if (file_) std::fclose(file_);
}

bool PolylineSpool::charge(size_t bytes) {
    if (bytes > memoryLeft_) return false;
    memoryLeft_ -= bytes;
    return true;
}

bool PolylineSpool::open() {
    if (file_) return true;
    if (unusable_) return false;
    file_ = std::tmpfile();
    unusable_ = file_ == nullptr;
    return file_ != nullptr;
}

bool PolylineSpool::write(const Polyline& line) {
    if (!open()) return false;
    RecordHead head;
    std::memset(static_cast<void*>(&head), 0, sizeof head);  // no stray padding bytes in the file
    head.offset = line.offset;
    head.style = line.style;
    head.clip = line.clip;
    head.points = line.points.size();
    size_t pointBytes = line.points.size() * sizeof(Point);
    if (std::fwrite(&head, sizeof head, 1, file_) != 1 ||
        (pointBytes && std::fwrite(line.points.data(), pointBytes, 1, file_) != 1)) {
        // What was written before stays readable; this and later polylines stay in memory.
        unusable_ = true;
        return false;
    }
    end_ += sizeof head + pointBytes;
    flushed_ = false;
    return true;
}

bool PolylineSpool::Cursor::fill(size_t bytes) {
    uint64_t have = bufferAt_ + buffer_.size();
    if (at_ >= bufferAt_ && at_ + bytes <= have) return true;
    if (!spool_ || !spool_->file_ || at_ + bytes > spool_->end_) return false;
    if (!spool_->flushed_) {
        if (std::fflush(spool_->file_) != 0) return false;
        spool_->flushed_ = true;
    }
    size_t want = static_cast<size_t>(std::min<uint64_t>(std::max(bytes, READ_BLOCK), spool_->end_ - at_));
    buffer_.resize(want);
    size_t got = 0;
    while (got < want) {
        ssize_t n = pread(fileno(spool_->file_), buffer_.data() + got, want - got, static_cast<off_t>(at_ + got));
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    buffer_.resize(got);
    bufferAt_ = at_;
    return got >= bytes;
}

bool PolylineSpool::Cursor::take(void* to, size_t bytes) {
    if (!fill(bytes)) return false;
    std::memcpy(to, buffer_.data() + (at_ - bufferAt_), bytes);
    at_ += bytes;
    return true;
}

bool PolylineSpool::Cursor::next(Polyline& line) {
    RecordHead head;
    if (!take(&head, sizeof head)) return false;
    if (head.points > (spool_->end_ - at_) / sizeof(Point)) return false;
    line.offset = head.offset;
    line.style = head.style;
    line.clip = head.clip;
    line.points.resize(static_cast<size_t>(head.points));
    return head.points == 0 || take(line.points.data(), line.points.size() * sizeof(Point));
}

}  // namespace tavix::preview
