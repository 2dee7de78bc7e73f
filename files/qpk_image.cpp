#include "files/qpk_image.h"

#include <limits>

#include "files/file_name.h"
#include "files/lzss.h"
#include "files/qpk_format.h"
#include "files/qpk_pixels.h"

namespace vela {
namespace {

constexpr std::uint64_t kMaxBlock = std::numeric_limits<std::uint32_t>::max();

// True when the entry's pixels can come out of its stored data.
bool PixelsFitStoredData(const qpk::EntryHead& head, std::uint64_t decodedSize) {
  if (qpk::IsCompressed(head.code)) return decodedSize <= LzssMaxDecodedSize(head.storedSize);
  return decodedSize <= head.storedSize;
}

// Reads the stored stream and decodes it into `out`.
bool ReadCompressed(ByteSource& archive, const qpk::EntryHead& head, std::span<std::uint8_t> out) {
  HeapPtr<std::uint8_t> stream(static_cast<std::uint8_t*>(HeapAllocate(head.storedSize)));
  if (!stream || !archive.ReadExactly(stream.get(), head.storedSize)) return false;
  return LzssDecode(std::span(stream.get(), head.storedSize), out);
}

}  // namespace

std::uint32_t CQPKImage::ReadEntry(ByteSource& archive, std::string_view name, std::uint32_t& width,
                                   std::uint32_t& height, std::span<std::uint8_t> data,
                                   std::uint32_t& format) {
  qpk::EntryHead head;
  if (!qpk::FindEntry(archive, name, head)) return 0;
  width = head.width;
  height = head.height;
  format = head.code;
  const std::uint64_t decodedSize = qpk::GetDataSize(head.width, head.height, head.code);
  if (decodedSize == 0 || decodedSize > kMaxBlock || head.storedSize > archive.Remaining() ||
      !PixelsFitStoredData(head, decodedSize)) {
    return 0;
  }
  const auto size = static_cast<std::uint32_t>(decodedSize);
  if (data.empty()) return size;
  if (data.size() < size) return 0;
  const bool read = qpk::IsCompressed(head.code) ? ReadCompressed(archive, head, data.first(size))
                                                 : archive.ReadExactly(data.data(), size);
  return read ? size : 0;
}

const char* CQPKImage::Load(ByteSource& archive, std::string_view name) {
  Free();
  if (name.size() >= kMaxPath) return kLoadFailedText;

  std::uint32_t width = 0, height = 0, code = 0;
  const std::uint32_t size = ReadEntry(archive, name, width, height, {}, code);
  const std::uint64_t imageSize = std::uint64_t{width} * height * 4 + qpk::kDdsHeaderSize;
  if (size == 0 || imageSize > kMaxBlock) return kLoadFailedText;

  HeapPtr<std::uint8_t> pixels(static_cast<std::uint8_t*>(HeapAllocate(size, true)));
  if (!pixels) return kNoMemoryText;
  if (ReadEntry(archive, name, width, height, std::span(pixels.get(), size), code) != size) {
    return kLoadFailedText;
  }

  const auto imageBytes = static_cast<std::size_t>(imageSize);
  HeapPtr<std::uint8_t> image(static_cast<std::uint8_t*>(HeapAllocate(imageBytes)));
  if (!image) return kNoMemoryText;
  const std::span<std::uint8_t> imageSpan(image.get(), imageBytes);
  qpk::Convert(width, height, code, std::span(pixels.get(), size), qpk::kCodeBytes,
               imageSpan.subspan(qpk::kDdsHeaderSize));
  qpk::WriteDdsHeader(width, height, imageSpan.first<qpk::kDdsHeaderSize>());

  image_ = std::move(image);
  width_ = width;
  height_ = height;
  pitch_ = width * 4;
  return nullptr;
}

void CQPKImage::Free() {
  image_.reset();
  width_ = height_ = pitch_ = 0;
}

std::uint32_t CQPKImage::GetImageSize() const {
  return image_ ? width_ * height_ * 4 + static_cast<std::uint32_t>(qpk::kDdsHeaderSize) : 0;
}

void CQPKImage::GetSize(std::uint32_t& width, std::uint32_t& height) const {
  width = width_;
  height = height_;
}

void CQPKImage::GetImage(std::uint8_t*& image, std::uint32_t& pitch) const {
  image = image_.get();
  pitch = pitch_;
}

}  // namespace vela
