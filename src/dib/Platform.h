// What the toolkit functions use of the platform layer beyond the exported vdk_ calls.
#pragma once

#include <cstddef>

namespace vdk {

// Hands one message text to the caller's handler (or prints it on standard error).
void ShowMessage(const char* text);

// Work tables the toolkit allocates outside memory blocks honour the same fault injection as
// blocks, so every "out of memory" path can be exercised. False: behave as if out of memory.
bool AllowWorkAllocation();

}  // namespace vdk
