// PLOTOR's main program: the fixed dialogue from start-up to exit.
#pragma once

namespace vortan {

void PLOTOR();

}  // namespace vortan
