#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunStrengthStage(DesignRun&) {}

}  // namespace brennick
