#include "viewer_driver.h"

#include "prompts.h"

namespace vortan {

void PLOTOR() { WRLINE("PLOTOR"); }

}  // namespace vortan
