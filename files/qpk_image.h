// CQPKImage: reads one entry of a QPK image archive (qpk_format.h) and turns it into an
// in-memory DDS file: the 128-byte header and 32-bit A8R8G8B8 pixels, which the texture and
// surface loaders then read like any image file.
//
// Sizes from the archive are checked before anything is allocated: the pixels must lie inside
// the entry's stored data (for compressed codes, within what the stream could decode to), and
// the converted image must stay below 4 GiB. An entry that breaks these rules cannot be loaded.
// The two conversions for 16-bit targets that the original reader offers are not used by
// textures or surfaces and are not provided here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/process_heap.h"
#include "files/byte_source.h"

namespace vela {

class CQPKImage {
 public:
  static constexpr const char* kLoadFailedText = "Can't Load QPK File";
  static constexpr const char* kNoMemoryText =
      "メモリ確保に失敗 空きメモリが不足している可能性があります";

  CQPKImage() = default;
  CQPKImage(const CQPKImage&) = delete;
  CQPKImage& operator=(const CQPKImage&) = delete;

  // Finds the entry `name` (ASCII case ignored) and reports its size and pixel code; answers the
  // decoded size of its pixels, 0 when the archive or the entry is missing or unusable. With a
  // non-empty `data` (at least the decoded size) the pixels are read, decompressed when the code
  // says so, into its front.
  std::uint32_t ReadEntry(ByteSource& archive, std::string_view name, std::uint32_t& width,
                          std::uint32_t& height, std::span<std::uint8_t> data,
                          std::uint32_t& format);

  // Loads the entry `name` as a DDS image, replacing what was loaded before. Answers null on
  // success, else kLoadFailedText or kNoMemoryText.
  const char* Load(ByteSource& archive, std::string_view name);
  void Free();

  // The DDS file image, null when nothing is loaded.
  std::uint8_t* GetImageData() const { return image_.get(); }
  // Its size in bytes (width x height x 4 + 128), 0 when nothing is loaded.
  std::uint32_t GetImageSize() const;
  void GetSize(std::uint32_t& width, std::uint32_t& height) const;
  void GetImage(std::uint8_t*& image, std::uint32_t& pitch) const;

 private:
  HeapPtr<std::uint8_t> image_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::uint32_t pitch_ = 0;
};

}  // namespace vela
