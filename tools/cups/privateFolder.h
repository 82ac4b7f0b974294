// A fresh folder under $TMPDIR (or /tmp) that the process works in while
// the object lives; the former working folder and an empty tree are
// restored afterwards.
#pragma once

#include <string>

namespace tavix::cups {

class PrivateFolder {
public:
    PrivateFolder();
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool entered() const { return entered_; }
    const std::string& error() const { return error_; }

private:
    std::string path_, previous_, error_;
    bool entered_ = false;
};

}  // namespace tavix::cups
