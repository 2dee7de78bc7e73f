// libFuzzer target: the PNG reader on arbitrary bytes, then scaling and conversion of what it
// decodes. Chunk checksums are recomputed first, or nearly every mutation would stop at the
// first CRC check and the fuzzer would never reach the decoder.
#include <zlib.h>

#include <vector>

#include "imagecodec/image_readers.h"
#include "tests/fuzz/image_fuzz_support.h"

namespace {

std::uint32_t Be32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void FixChunkChecksums(std::vector<std::uint8_t>& file) {
  std::size_t at = 8;
  while (at + 12 <= file.size()) {
    const std::uint32_t length = Be32(file.data() + at);
    if (length > file.size() - at - 12) break;
    const auto crc = static_cast<std::uint32_t>(crc32(0, file.data() + at + 4, length + 4));
    for (int i = 0; i < 4; ++i) file[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> file(data, data + size);
  FixChunkChecksums(file);
  vela::codec::fuzzing::FuzzReader(file.data(), file.size(), vela::codec::ReadPngInfo, vela::codec::DecodePng);
  return 0;
}
