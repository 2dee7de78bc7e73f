#include "files/byte_source.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <exception>
#include <limits>

namespace vela {

MemorySource::MemorySource(std::span<const std::uint8_t> data)
    : data_(data.data()),
      size_(static_cast<std::uint32_t>(
          std::min<std::size_t>(data.size(), std::numeric_limits<std::uint32_t>::max()))) {}

bool MemorySource::Seek(std::uint32_t position) {
  if (position > size_) return false;
  position_ = position;
  return true;
}

std::uint32_t MemorySource::Read(void* buffer, std::uint32_t count) {
  const std::uint32_t n = std::min(count, size_ - position_);
  if (n > 0) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

FileSource::~FileSource() { Close(); }

bool FileSource::Open(const std::filesystem::path& path) {
  Close();
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  constexpr std::uintmax_t kLargest =
      std::min<std::uintmax_t>(std::numeric_limits<std::uint32_t>::max(), LONG_MAX);
  if (error || size > kLargest) return false;
  try {
    file_ = std::fopen(path.string().c_str(), "rb");
  } catch (const std::exception&) {
    return false;  // a name the system's code page cannot hold
  }
  if (!file_) return false;
  size_ = static_cast<std::uint32_t>(size);
  position_ = 0;
  return true;
}

void FileSource::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
  position_ = 0;
}

bool FileSource::Seek(std::uint32_t position) {
  if (!file_ || position > size_) return false;
  if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) return false;
  position_ = position;
  return true;
}

std::uint32_t FileSource::Read(void* buffer, std::uint32_t count) {
  if (!file_) return 0;
  const std::uint32_t wanted = std::min(count, size_ - position_);
  const auto n = static_cast<std::uint32_t>(std::fread(buffer, 1, wanted, file_));
  position_ += n;
  return n;
}

}  // namespace vela
