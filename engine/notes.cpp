#include "design.h"

namespace brennick {

// Not built yet: appends nothing.
void RunNotesStage(DesignRun&) {}

}  // namespace brennick
