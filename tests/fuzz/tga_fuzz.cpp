// libFuzzer target: the TGA reader on arbitrary bytes, with either reading of undeclared alpha,
// then scaling and conversion of what it decodes.
#include "imagecodec/image_readers.h"
#include "tests/fuzz/image_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vela::codec::fuzzing::FuzzReaderWithAlpha(data, size, vela::codec::ReadTgaInfo, vela::codec::DecodeTga);
  return 0;
}
