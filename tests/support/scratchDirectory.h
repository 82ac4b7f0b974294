// Runs a test in a fresh directory of its own: the driver keeps its pen
// settings file in the current directory, and tests run in parallel.
#pragma once

#include <filesystem>
#include <string>

namespace tavix::testing {

class ScratchDirectory {
public:
    ScratchDirectory();   // creates the directory and makes it current
    ~ScratchDirectory();  // goes back and removes it with its contents
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// The whole content of a file, or "<missing>" when it cannot be read.
std::string readWholeFile(const std::string& name);

// Writes `bytes` to a file, replacing it.
void writeWholeFile(const std::string& name, const std::string& bytes);

}  // namespace tavix::testing
