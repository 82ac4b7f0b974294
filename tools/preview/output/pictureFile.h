// The picture file a preview writes: checked before any work is done, so
// that a missing folder or a denied permission is said at once and by its
// name, and written through a stream that keeps the system's reason when a
// write fails.
#pragma once

#include <cstdio>
#include <string>

namespace tavix::preview {

// True when `path` can be created or overwritten; else false with the
// reason ("cannot write PATH: No such file or directory"). Leaves nothing
// behind: a file made to find out is removed again.
bool pictureFileWritable(const std::string& path, std::string& error);

// A picture file open for writing. The first failed write is kept with
// the system's reason; close() reports it (or the close's own failure).
class PictureFile {
public:
    explicit PictureFile(const std::string& path);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    bool opened() const { return file_ != nullptr; }
    bool write(const void* data, size_t size);
    bool write(const std::string& text) { return write(text.data(), text.size()); }
    // Bytes written so far.
    long long offset() const { return offset_; }
    // False with the reason when anything failed since the file was opened.
    bool close(std::string& error);
    // The file is not wanted (writing failed): closed and, when it is a
    // regular file, removed (a device such as /dev/full stays).
    void discard();

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool regular_ = false;
    int errno_ = 0;
    long long offset_ = 0;
};

}  // namespace tavix::preview
