#include "pictureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavix::preview {

bool pictureFileWritable(const std::string& path, std::string& error) {
    auto fail = [&](const std::string& why) {
        error = "cannot write " + path + ": " + why;
        return false;
    };
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
        close(fd);
        unlink(path.c_str());
        return true;
    }
    if (errno != EEXIST) return fail(std::strerror(errno));
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return fail("it is a directory");
    // An existing file (or a device): opening it for writing would change
    // nothing yet, and says whether the write will be allowed.
    fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno != ENXIO) return fail(std::strerror(errno));
    if (fd >= 0) close(fd);
    return true;
}

PictureFile::PictureFile(const std::string& path) : path_(path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        errno_ = errno != 0 ? errno : EIO;
        return;
    }
    struct stat info {};
    regular_ = fstat(fileno(file_), &info) == 0 && S_ISREG(info.st_mode);
}

PictureFile::~PictureFile() {
    if (file_ != nullptr) std::fclose(file_);
}

bool PictureFile::write(const void* data, size_t size) {
    if (file_ == nullptr || errno_ != 0) return false;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
        errno_ = errno != 0 ? errno : EIO;
        return false;
    }
    offset_ += static_cast<long long>(size);
    return true;
}

bool PictureFile::close(std::string& error) {
    int failure = errno_;
    if (file_ != nullptr) {
        if (std::fclose(file_) != 0 && failure == 0) failure = errno != 0 ? errno : EIO;
        file_ = nullptr;
    }
    if (failure == 0) return true;
    error = "cannot write " + path_ + ": " + std::strerror(failure);
    return false;
}

void PictureFile::discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (regular_) std::remove(path_.c_str());
    regular_ = false;
}

}  // namespace tavix::preview
