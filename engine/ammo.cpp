#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunAmmunitionStage(DesignRun&) {}

}  // namespace brennick
