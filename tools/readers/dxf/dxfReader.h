// Reads an ASCII DXF file through dxflib: the tables and blocks into
// DxfTables, and each model-space entity handed on as soon as it is read, so
// memory grows with the blocks and not with model space.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dxfModel.h"

namespace tavix::dxf {

struct DxfReadReport {
    std::string error;                  // "line N: ..." when the read failed
    std::map<std::string, int> skipped; // entity kinds not drawn, with their counts
    std::vector<std::string> warnings;
    long long entities = 0;             // model-space entities handed on
};

// Returns false to stop the read (the handler has set `stop`'s reason).
using EntityHandler = std::function<bool(const Entity&, std::string& stop)>;

bool readDxf(std::FILE* file, DxfTables& tables, const EntityHandler& onEntity, DxfReadReport& report);

struct Group;

// What a layout plot needs besides model space: every group as it passes
// (with the section it is in), and the paper-space entities, which a
// model-space plot leaves out.
struct ReadHooks {
    std::function<void(const Group&, const std::string& section)> group;
    EntityHandler paperSpace;
};

bool readDxf(std::FILE* file, DxfTables& tables, const EntityHandler& onEntity, DxfReadReport& report,
             const ReadHooks& hooks);

}  // namespace tavix::dxf
