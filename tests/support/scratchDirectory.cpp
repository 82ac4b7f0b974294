#include "support/scratchDirectory.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tavix::testing {

ScratchDirectory::ScratchDirectory() {
    namespace fs = std::filesystem;
    previous_ = fs::current_path();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0;; ++attempt) {
        fs::path candidate = fs::temp_directory_path() /
                             ("tavix-test-" + std::to_string(stamp) + "-" + std::to_string(attempt));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = candidate;
            break;
        }
    }
    fs::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::current_path(previous_, error);
    // Read-only tests leave directories without write permission behind.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    for (auto& entry : fs::directory_iterator(path_, error))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

std::string readWholeFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeWholeFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tavix::testing
