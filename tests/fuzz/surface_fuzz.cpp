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
  const std::uint8_t selector = data[size - 1];
  SurfaceView surface;
  surface.format = fuzzing::kDestinations[selector % (sizeof fuzzing::kDestinations / sizeof fuzzing::kDestinations[0])];
  surface.width = 1u + data[size - 2] % 29u;
  surface.height = 1u + data[size - 2] / 29u % 9u;
  surface.pitch = static_cast<std::ptrdiff_t>((surface.width + 3) * 4 * 4);
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(surface.pitch) * (surface.height + 3));
  surface.bits = bits.data();
  std::uint32_t colorKey = 0;
  if (size >= 6 && (selector & 0x80)) std::memcpy(&colorKey, data + size - 6, 4);
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
