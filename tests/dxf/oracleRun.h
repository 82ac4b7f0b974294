// Runs a Python oracle of tests/dxf/oracle (ezdxf) with a file to write.
#pragma once

#include <string>

namespace tavix::dxf::testing {

// A fresh file name under /tmp (the file exists, empty); empty on failure.
std::string temporaryFile();

// `script` of tests/dxf/oracle with `file`; its standard output, or false.
bool runOracleScript(const std::string& script, const std::string& file, std::string& out);

}  // namespace tavix::dxf::testing
