// libFuzzer target: the public entry points on arbitrary bytes, as the library calls them:
// information, loading into a surface chosen by the input (with a colour key), and saving the
// result in every file format, which must read back.
#include <cstring>
#include <vector>

#include "imagecodec/imagecodec.h"
#include "tests/fuzz/image_fuzz_support.h"

using namespace vela::codec;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ImageInfo info;
  if (!Succeeded(GetImageInfoFromMemory(data, size, info)) || size < 2) return 0;
  std::vector<std::uint8_t> bits;
  const SurfaceView surface = fuzzing::ChosenSurface(data, size, bits);
  std::uint32_t colorKey = 0;
  if (size >= 6 && (data[size - 1] & 0x80)) std::memcpy(&colorKey, data + size - 6, 4);
  if (!Succeeded(LoadSurfaceFromMemory(surface, nullptr, data, size, colorKey))) return 0;
  for (FileFormat format : {FileFormat::kBmp, FileFormat::kPng, FileFormat::kTga, FileFormat::kDds}) {
    std::vector<std::uint8_t> file;
    if (!Succeeded(SaveToMemory(format, surface, file))) __builtin_trap();
    ImageInfo saved;
    if (!Succeeded(GetImageInfoFromMemory(file.data(), file.size(), saved)) || saved.width != surface.width ||
        saved.height != surface.height) {
      __builtin_trap();
    }
  }
  return 0;
}
