#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunCostStage(DesignRun&) {}

}  // namespace brennick
