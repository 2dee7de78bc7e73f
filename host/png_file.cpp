#include "host/png_file.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "imagecodec/imagecodec.h"

namespace vela::host {

bool WritePngFile(const CapturedImage& image, const std::string& path) {
  if (image.Empty()) return false;
  const codec::ConstSurfaceView surface(codec::PixelFormat::kX8R8G8B8, static_cast<std::uint32_t>(image.width),
                                        static_cast<std::uint32_t>(image.height),
                                        static_cast<std::ptrdiff_t>(image.width) * 4,
                                        reinterpret_cast<const std::uint8_t*>(image.pixels.data()));
  std::vector<std::uint8_t> file;
  if (!codec::Succeeded(codec::SaveToMemory(codec::FileFormat::kPng, surface, file))) return false;

  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!out) return false;
  return std::fwrite(file.data(), 1, file.size(), out.get()) == file.size() && std::fflush(out.get()) == 0;
}

}  // namespace vela::host
