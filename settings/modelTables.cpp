// The model table the driver reads, and the seam that lets tests put tables
// of their own in its place.
#include "tavix/driverState.h"
#include "tavix/tables.h"

namespace tavix {

DriverTables activeTables = {driverRecord.models, &shippedPaperList};

void restoreShippedTables() {
    activeTables.models = driverRecord.models;
    activeTables.paperList = &shippedPaperList;
}

const ModelEntry& modelEntry(int32_t index) {
    // A stored block may carry any model index; there are only five rows.
    if (index < 0 || index >= MODEL_COUNT) index = 0;
    const ModelEntry* models = activeTables.models ? activeTables.models : driverRecord.models;
    return models[index];
}

const ModelEntry& currentModelEntry() { return modelEntry(state.currentModel); }

}  // namespace tavix
