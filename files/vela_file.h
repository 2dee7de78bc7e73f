// VelaFile: the library's file access. Reads whole files (handing LZSS blocks out decoded),
// finds files without reading them, and opens files for streamed reads confined to their data.
//
// A name may stand for a plain file or for an entry of a PACK archive. Lookups go through 16
// search slots (a directory and a PACK file each) and a root prefix, in slot order, and finally
// the name as given; relative names resolve against the host executable's folder, which is made
// the working directory again before every open. The slots and the prefix start empty, so a
// name resolves as the caller passed it until they are filled (SetSearchSlot; at every start the
// boot fills them from the settings file, see search_settings.h).
//
// Whole files are handed out in blocks of committed pages (a multiple of 4096 bytes) that the
// caller frees with VirtualFree(block, 0, MEM_RELEASE), or holds in a PageBlock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "files/byte_source.h"
#include "files/file_name.h"

namespace vela {

inline constexpr int kSearchSlotCount = 16;

struct PageBlockDeleter {
  void operator()(void* block) const {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
  }
};
using PageBlock = std::unique_ptr<std::uint8_t, PageBlockDeleter>;

// An open file or PACK entry (a zero-filled heap block owned by the caller until FileClose).
struct FileRecord {
  HANDLE handle;
  std::uint32_t inPack;  // 0 for a plain file, 1 for a PACK entry
  std::uint32_t start;   // file position where the data begins
  std::uint32_t size;    // bytes of data
  FILETIME created;
  FILETIME accessed;
  FILETIME written;
  char path[kMaxPath];  // the normalised name, or the PACK file's path
};

// Reads the whole file `name` into a page block; an LZSS block is handed out decoded. False
// when the file is not found anywhere, is empty, or cannot be read or decoded.
bool FileLoad(const char* name, std::uint8_t** data, std::uint32_t* size);
// Finds `name` without reading it and writes where it was found (kMaxPath bytes at most).
bool FileResolve(char* path, const char* name);

FileRecord* FileOpen(const char* name, bool readOnly);
void FileClose(FileRecord* record);
std::uint32_t FileGetSize(const FileRecord* record);
std::uint32_t FileRead(FileRecord* record, std::uint32_t count, void* buffer);
// origin 0: from the current position, 1: from the start of the data, 2: from its end; the
// distance wraps modulo 2^32, so 2^32 - k moves back by k. A target outside the data is refused.
bool FileSeek(FileRecord* record, std::uint32_t distance, std::uint32_t origin);

// The search table. Empty strings clear a slot; both answer false for an index out of range or
// a path that does not fit.
bool SetSearchSlot(int slot, const char* directory, const char* packFile);
bool SetRootPrefix(const char* prefix);

// What a path named as a slot's PACK file holds (relative to the executable's folder).
enum class PackFileKind { kMissing, kPackArchive, kOtherFile };
PackFileKind InspectPackFile(const char* path);

// A ByteSource over an open record: positions count from the start of its data.
class FileRecordSource final : public ByteSource {
 public:
  explicit FileRecordSource(FileRecord* record) : record_(record) {}
  std::uint32_t Size() const override { return FileGetSize(record_); }
  std::uint32_t Position() const override;
  bool Seek(std::uint32_t position) override { return FileSeek(record_, position, 1); }
  std::uint32_t Read(void* buffer, std::uint32_t count) override {
    return FileRead(record_, count, buffer);
  }

 private:
  FileRecord* record_;
};

}  // namespace vela
