// The LZSS decoder over untrusted streams and blocks, and the encoder's round trip.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);

  // As a block, the way the file service meets it: the declared size is refused when the
  // stream could never reach it, before anything is allocated.
  std::uint32_t declared = 0;
  if (vela::ReadLzssBlockHead(input, declared) &&
      declared <= vela::LzssMaxDecodedSize(size - vela::kLzssBlockHeadSize)) {
    std::vector<std::uint8_t> out(declared);
    vela::LzssDecodeBlock(input, out);
  }

  // As a raw stream after a 16-bit declared size: decoding one byte more than the bound must
  // fail, since no stream of that length can produce it.
  if (size >= 2) {
    const std::uint64_t bound = vela::LzssMaxDecodedSize(size - 2);
    std::vector<std::uint8_t> out(std::min<std::uint64_t>(data[0] | (data[1] << 8), bound + 1));
    if (vela::LzssDecode(input.subspan(2), out) && out.size() > bound) std::abort();
  }

  // As data: encoding must round-trip and never grow by more than the control bytes.
  const std::vector<std::uint8_t> stream = vela::LzssEncode(input);
  std::vector<std::uint8_t> back(size);
  if (stream.size() > size + (size + 7) / 8 || !vela::LzssDecode(stream, back) ||
      !std::equal(back.begin(), back.end(), data)) {
    std::abort();
  }
  return 0;
}
