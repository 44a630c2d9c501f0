#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunWeightStage(DesignRun&) {}

}  // namespace brennick
