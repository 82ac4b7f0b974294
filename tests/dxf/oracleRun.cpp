#include "oracleRun.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tavix::dxf::testing {

std::string temporaryFile() {
    char path[] = "/tmp/tavix-dxf-oracle-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return {};
    close(fd);
    return path;
}

bool runOracleScript(const std::string& script, const std::string& file, std::string& out) {
    std::string command = std::string(TAVIX_SYSTEM_PYTHON) + " " + TAVIX_SOURCE_DIR + "/tests/dxf/oracle/" + script +
                          " " + file;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return pclose(pipe) == 0;
}

}  // namespace tavix::dxf::testing
