#include <cstring>

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "core/process_heap.h"
#include "files/lzss.h"
#include "files/pack_archive.h"
#include "files/vela_file.h"

namespace vela {
namespace {

struct SearchTable {
  char directory[kSearchSlotCount][kMaxPath];
  char packFile[kSearchSlotCount][kMaxPath];
  char rootPrefix[kMaxPath];
};
SearchTable searchTable{};

// Joins up to three parts into a path; false when it does not fit.
bool JoinPath(char (&out)[kMaxPath], const char* a, const char* b, const char* c = "") {
  const std::size_t la = std::strlen(a), lb = std::strlen(b), lc = std::strlen(c);
  if (la + lb + lc >= kMaxPath) return false;
  std::memcpy(out, a, la);
  std::memcpy(out + la, b, lb);
  std::memcpy(out + la + lb, c, lc + 1);
  return true;
}

bool CopyPath(char (&out)[kMaxPath], const char* text) { return JoinPath(out, text, ""); }

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OpenExisting(const char* path, bool readOnly) {
  RestoreWorkingDirectory();
  const DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  const DWORD share = readOnly ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  HANDLE handle = CreateFileA(path, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

PageBlock AllocatePages(std::uint32_t size) {
  // VirtualAlloc commits whole pages: the block is the size rounded up to 4096 bytes.
  return PageBlock(static_cast<std::uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE)));
}

bool ReadAll(HANDLE handle, void* buffer, std::uint32_t size) {
  DWORD read = 0;
  return ReadFile(handle, buffer, size, &read, nullptr) && read == size;
}

void LogDecodingFailure() {
  LogPlain(" {");
  LogBreak();
  LogRed("　　ファイルのデコードに失敗");
  LogBreak();
  LogPlain("} ");
}

// Replaces an LZSS block by its decoded contents; other data stays as read. The declared size
// is checked against what the stream can hold before anything is allocated.
bool ApplyLzssStep(PageBlock& block, std::uint32_t& size) {
  const std::span<const std::uint8_t> data(block.get(), size);
  std::uint32_t decodedSize = 0;
  if (!ReadLzssBlockHead(data, decodedSize)) return true;
  PageBlock decoded;
  if (decodedSize > 0 && decodedSize <= LzssMaxDecodedSize(size - kLzssBlockHeadSize)) {
    decoded = AllocatePages(decodedSize);
  }
  if (!decoded || !LzssDecodeBlock(data, {decoded.get(), decodedSize})) {
    block.reset();
    size = 0;
    LogDecodingFailure();
    return false;
  }
  block = std::move(decoded);
  size = decodedSize;
  return true;
}

// Reads `count` bytes at the handle's position into a fresh page block, then the LZSS step.
bool ReadBlock(HANDLE handle, std::uint32_t count, std::uint8_t** data, std::uint32_t* size) {
  if (count == 0) return false;  // an empty file has no page block to hand out
  PageBlock block = AllocatePages(count);
  if (!block || !ReadAll(handle, block.get(), count)) return false;
  std::uint32_t length = count;
  if (!ApplyLzssStep(block, length)) return false;
  *data = block.release();
  *size = length;
  return true;
}

// A plain file: with `data` null only an existence test, by its attributes: opening and closing
// it cost several times as much (a quarter of a millisecond per texture under Wine).
bool LoadPlain(const char* path, std::uint8_t** data, std::uint32_t* size) {
  if (!data) {
    RestoreWorkingDirectory();
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  UniqueHandle file = OpenExisting(path, true);
  if (!file) return false;
  const DWORD fileSize = GetFileSize(file.get(), nullptr);
  if (fileSize == INVALID_FILE_SIZE) return false;
  return ReadBlock(file.get(), fileSize, data, size);
}

bool MoveTo(HANDLE handle, std::uint32_t position) {
  LARGE_INTEGER target;
  target.QuadPart = position;
  return SetFilePointerEx(handle, target, nullptr, FILE_BEGIN);
}

// A record over a whole open file, for the PACK directory reader.
FileRecord WholeFileRecord(HANDLE handle) {
  FileRecord record{};
  record.handle = handle;
  const DWORD size = GetFileSize(handle, nullptr);
  record.size = size == INVALID_FILE_SIZE ? 0 : size;
  return record;
}

bool FindInPack(HANDLE pack, const char* name, PackEntry& entry) {
  FileRecord whole = WholeFileRecord(pack);
  FileRecordSource source(&whole);
  return FindPackEntry(source, name, entry) && MoveTo(pack, entry.offset);
}

bool LoadFromPack(const char* packFile, const char* name, std::uint8_t** data, std::uint32_t* size) {
  if (!*packFile) return false;
  UniqueHandle pack = OpenExisting(packFile, true);
  PackEntry entry;
  if (!pack || !FindInPack(pack.get(), name, entry)) return false;
  if (!data) return true;
  return ReadBlock(pack.get(), entry.size, data, size);
}

// Where a name was found: a plain path, or a PACK file and the name within it.
struct Location {
  char path[kMaxPath];
  char packFile[kMaxPath];  // empty for a plain file
};

// The lookup order: for each slot its directory, then its PACK file; at last the name itself.
template <typename PlainStep, typename PackStep>
bool Search(const char* name, Location& where, PlainStep plain, PackStep inPack) {
  char inPackName[kMaxPath];
  const bool prefixed = JoinPath(inPackName, searchTable.rootPrefix, name);
  for (int slot = 0; slot < kSearchSlotCount; ++slot) {
    if (JoinPath(where.path, searchTable.directory[slot], searchTable.rootPrefix, name) && plain(where.path)) {
      where.packFile[0] = '\0';
      return true;
    }
    if (prefixed && searchTable.packFile[slot][0] && inPack(searchTable.packFile[slot], inPackName)) {
      CopyPath(where.path, inPackName);
      CopyPath(where.packFile, searchTable.packFile[slot]);
      return true;
    }
  }
  where.packFile[0] = '\0';
  return CopyPath(where.path, name) && plain(where.path);
}

FileRecord* NewRecord(const FileRecord& record) {
  auto* block = static_cast<FileRecord*>(HeapAllocate(sizeof(FileRecord), true));
  if (block) *block = record;
  return block;
}

FileRecord* OpenPlain(const char* name, bool readOnly) {
  FileRecord record{};
  if (!NormaliseName(name, record.path)) return nullptr;
  UniqueHandle file = OpenExisting(record.path, readOnly);
  if (!file) return nullptr;
  GetFileTime(file.get(), &record.created, &record.accessed, &record.written);
  const DWORD size = GetFileSize(file.get(), nullptr);
  record.size = size == INVALID_FILE_SIZE ? 0 : size;
  record.handle = file.get();
  FileRecord* block = NewRecord(record);
  if (block) file.release();
  return block;
}

FileRecord* OpenInPack(const char* packFile, const char* name, bool readOnly) {
  FileRecord record{};
  UniqueHandle pack = OpenExisting(packFile, readOnly);
  PackEntry entry;
  if (!pack || !FindInPack(pack.get(), name, entry)) return nullptr;
  GetFileTime(pack.get(), &record.created, &record.accessed, &record.written);
  record.handle = pack.get();
  record.inPack = 1;
  record.start = entry.offset;
  record.size = entry.size;
  CopyPath(record.path, packFile);
  FileRecord* block = NewRecord(record);
  if (block) pack.release();
  return block;
}

std::uint32_t CurrentPosition(HANDLE handle) {
  LARGE_INTEGER position{};
  SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_CURRENT);
  return static_cast<std::uint32_t>(position.QuadPart);
}

bool Usable(const FileRecord* record) {
  return record && record->handle && record->handle != INVALID_HANDLE_VALUE;
}

}  // namespace

bool FileLoad(const char* name, std::uint8_t** data, std::uint32_t* size) {
  *data = nullptr;
  *size = 0;
  Location where;
  return Search(
      name, where, [&](const char* path) { return LoadPlain(path, data, size); },
      [&](const char* pack, const char* inPack) { return LoadFromPack(pack, inPack, data, size); });
}

bool FileResolve(char* path, const char* name) {
  Location where;
  const bool found = Search(
      name, where, [](const char* plain) { return LoadPlain(plain, nullptr, nullptr); },
      [](const char* pack, const char* inPack) { return LoadFromPack(pack, inPack, nullptr, nullptr); });
  if (found) std::memcpy(path, where.path, std::strlen(where.path) + 1);
  return found;
}

FileRecord* FileOpen(const char* name, bool readOnly) {
  FileRecord* record = nullptr;
  Location where;
  Search(
      name, where, [&](const char* plain) { return (record = OpenPlain(plain, readOnly)) != nullptr; },
      [&](const char* pack, const char* inPack) { return (record = OpenInPack(pack, inPack, readOnly)) != nullptr; });
  return record;
}

void FileClose(FileRecord* record) {
  if (!record) return;
  if (Usable(record)) {
    // Reading must leave the file's times as they were.
    SetFileTime(record->handle, &record->created, &record->accessed, &record->written);
    CloseHandle(record->handle);
  }
  HeapRelease(record);
}

std::uint32_t FileGetSize(const FileRecord* record) { return record ? record->size : 0; }

std::uint32_t FileRead(FileRecord* record, std::uint32_t count, void* buffer) {
  if (!Usable(record)) return 0;
  const std::uint32_t end = record->start + record->size;
  const std::uint32_t position = CurrentPosition(record->handle);
  const std::uint32_t left = position < end ? end - position : 0;
  DWORD read = 0;
  if (!ReadFile(record->handle, buffer, count < left ? count : left, &read, nullptr)) return 0;
  return read;
}

bool FileSeek(FileRecord* record, std::uint32_t distance, std::uint32_t origin) {
  if (!Usable(record)) return false;
  const std::uint32_t current = CurrentPosition(record->handle);
  std::uint32_t from = current;
  if (origin == 1) from = record->start;
  if (origin == 2) from = record->start + record->size;
  const std::uint32_t target = origin <= 2 ? from + distance : current;
  if (target < record->start || target > record->start + record->size) return false;
  return MoveTo(record->handle, target);
}

std::uint32_t FileRecordSource::Position() const {
  return Usable(record_) ? CurrentPosition(record_->handle) - record_->start : 0;
}

bool SetSearchSlot(int slot, const char* directory, const char* packFile) {
  if (slot < 0 || slot >= kSearchSlotCount) return false;
  char newDirectory[kMaxPath], newPack[kMaxPath];
  if (!CopyPath(newDirectory, directory) || !CopyPath(newPack, packFile)) return false;
  std::memcpy(searchTable.directory[slot], newDirectory, kMaxPath);
  std::memcpy(searchTable.packFile[slot], newPack, kMaxPath);
  return true;
}

bool SetRootPrefix(const char* prefix) { return CopyPath(searchTable.rootPrefix, prefix); }

PackFileKind InspectPackFile(const char* path) {
  UniqueHandle file = OpenExisting(path, true);
  if (!file) return PackFileKind::kMissing;
  FileRecord whole = WholeFileRecord(file.get());
  FileRecordSource source(&whole);
  return IsPackArchive(source) ? PackFileKind::kPackArchive : PackFileKind::kOtherFile;
}

}  // namespace vela
