// ByteSource: the few operations the archive readers need from a file: its size, a position
// within it, absolute seeks and bounded reads. Positions run from 0 to Size(); sizes are 32-bit
// because the archive formats are.
//
// MemorySource reads a byte range the caller keeps alive; FileSource reads a std::FILE (the
// archive tool and the tests). The library's file service supplies its own source over an open
// file or PACK entry.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>

namespace vela {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  virtual std::uint32_t Size() const = 0;
  virtual std::uint32_t Position() const = 0;
  // Moves to `position`; a position beyond Size() is refused and the position stays.
  virtual bool Seek(std::uint32_t position) = 0;
  // Reads at most Size() - Position() bytes and answers how many were read.
  virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;

  // Reads exactly `count` bytes or answers false (the position then is wherever the short read
  // left it).
  bool ReadExactly(void* buffer, std::uint32_t count) { return Read(buffer, count) == count; }
  std::uint32_t Remaining() const { return Size() - Position(); }
};

class MemorySource final : public ByteSource {
 public:
  // Data beyond 4 GiB - 1 bytes is not visible.
  explicit MemorySource(std::span<const std::uint8_t> data);

  std::uint32_t Size() const override { return size_; }
  std::uint32_t Position() const override { return position_; }
  bool Seek(std::uint32_t position) override;
  std::uint32_t Read(void* buffer, std::uint32_t count) override;

 private:
  const std::uint8_t* data_;
  std::uint32_t size_;
  std::uint32_t position_ = 0;
};

class FileSource final : public ByteSource {
 public:
  FileSource() = default;
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // Opens a file for reading. False when it cannot be opened or is too large to address with
  // the C library's long offsets (over 2 GiB where long has 32 bits, over 4 GiB elsewhere).
  bool Open(const std::filesystem::path& path);
  void Close();

  std::uint32_t Size() const override { return size_; }
  std::uint32_t Position() const override { return position_; }
  bool Seek(std::uint32_t position) override;
  std::uint32_t Read(void* buffer, std::uint32_t count) override;

 private:
  std::FILE* file_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
};

}  // namespace vela
