#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunRateOfFireStage(DesignRun&) {}

}  // namespace brennick
