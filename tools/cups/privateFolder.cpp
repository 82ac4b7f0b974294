#include "privateFolder.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tavix::cups {

PrivateFolder::PrivateFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/rastertotavix-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) cwd[0] = '\0';
    previous_ = cwd;
    if (!mkdtemp(name.data())) {
        error_ = pattern + ": " + std::strerror(errno);
        return;
    }
    path_ = name.data();
    if (chdir(path_.c_str()) != 0) {
        error_ = path_ + ": " + std::strerror(errno);
        rmdir(path_.c_str());
        path_.clear();
        return;
    }
    entered_ = true;
}

PrivateFolder::~PrivateFolder() {
    if (path_.empty()) return;
    // Whatever the driver left (its pen settings file) goes with the folder.
    if (DIR* dir = opendir(path_.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
            unlink((path_ + "/" + entry->d_name).c_str());
        }
        closedir(dir);
    }
    if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
        // The former folder is gone; staying in the removed one is harmless.
    }
    rmdir(path_.c_str());
}

}  // namespace tavix::cups
