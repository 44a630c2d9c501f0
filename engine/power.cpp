#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunPowerNoteStage(DesignRun&) {}

}  // namespace brennick
