#include <stdexcept>

#include "streamModel.h"

namespace tavix::preview {
namespace {

// With the room the held vector keeps for growing and the allocator's own.
size_t bytesOf(const Polyline& line) { return 2 * sizeof(Polyline) + line.points.capacity() * sizeof(Point) + 16; }

}  // namespace

// A polyline is charged to the budget (or spooled) once the next one comes,
// when it can no longer grow. Once one has gone to the spool every later
// one follows it there, or, if the spool fails, all stay in memory after it.
void StrokeStore::push_back(Polyline line) {
    if (late_.empty()) {
        if (held_.empty() || !spool_ || spool_->charge(bytesOf(held_.back()))) {
            held_.push_back(std::move(line));
            return;
        }
        late_.push_back(std::move(line));
        return;
    }
    if (late_.size() == 1) {
        uint64_t at = spool_->end();
        if (spool_->write(late_.front())) {
            if (spilled_++ == 0) spillStart_ = at;
            late_.clear();
        }
    }
    late_.push_back(std::move(line));
}

const Polyline& StrokeStore::operator[](size_t i) const {
    if (i < held_.size()) return held_[i];
    i -= held_.size();
    if (i >= spilled_) return late_[i - spilled_];
    if (cursorNext_ > 0 && i == cursorNext_ - 1) return read_;
    if (i < cursorNext_ || cursorNext_ == 0) {
        cursor_ = PolylineSpool::Cursor(spool_.get(), spillStart_);
        cursorNext_ = 0;
    }
    while (cursorNext_ <= i) {
        if (!cursor_.next(read_)) {
            readFailed_ = true;
            read_ = Polyline{};
            cursorNext_ = i + 1;
            cursor_ = PolylineSpool::Cursor();  // reads nothing more
            break;
        }
        ++cursorNext_;
    }
    return read_;
}

const Polyline& StrokeStore::at(size_t i) const {
    if (i >= size()) throw std::out_of_range("no such polyline");
    return (*this)[i];
}

}  // namespace tavix::preview
