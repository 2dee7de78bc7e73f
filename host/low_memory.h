// Memory below 2 GiB for the host's side: its argument stack, its variables and its string and
// array objects are all told to the plug-in as 32-bit words with bit 31 free.
#pragma once

#include <cstddef>

namespace vela::host {

// A zero-filled block below 2 GiB, kept for the life of the process; aborts with a message
// when the system cannot give one (a test cannot go on without it).
std::byte* AllocateLow(std::size_t bytes);

}  // namespace vela::host
