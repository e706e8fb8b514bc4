#include "driver.h"

#include "prompts.h"

namespace vortan {

void GRIDOR() { WRLINE("GRIDOR"); }

}  // namespace vortan
