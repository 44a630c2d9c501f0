#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunDurabilityStage(DesignRun&) {}

}  // namespace brennick
