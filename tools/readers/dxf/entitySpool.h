// Model-space entities kept on disk between the two passes of a plot: the
// first pass measures the extents, the second draws at the scale they give.
// Reading the entities back is far cheaper than parsing the DXF again, and
// the file, not memory, grows with model space.
#pragma once

#include <cstdio>

#include "dxfModel.h"

namespace tavix::dxf {

class EntitySpool {
public:
    EntitySpool();
    ~EntitySpool();
    EntitySpool(const EntitySpool&) = delete;
    EntitySpool& operator=(const EntitySpool&) = delete;

    bool ok() const { return file != nullptr && !failed; }
    long long size() const { return written; }
    bool write(const Entity& e);
    // After the last write: reading starts from the first entity.
    bool rewind();
    // False at the end or when the spool cannot be read.
    bool read(Entity& e);

private:
    std::FILE* file = nullptr;
    bool failed = false;
    long long written = 0;
};

}  // namespace tavix::dxf
