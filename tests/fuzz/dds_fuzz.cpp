// libFuzzer target: the DDS reader on arbitrary bytes, then scaling and conversion of what it decodes.
#include "imagecodec/image_readers.h"
#include "tests/fuzz/image_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vela::codec::fuzzing::FuzzReader(data, size, vela::codec::ReadDdsInfo, vela::codec::DecodeDds);
  return 0;
}
