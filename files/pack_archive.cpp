#include "files/pack_archive.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/process_heap.h"
#include "files/file_name.h"
#include "files/little_endian.h"

namespace vela {
namespace {

constexpr std::uint8_t kMagic[4] = {'P', 'A', 'C', 'K'};
constexpr std::size_t kHashOffset = 64;
constexpr std::size_t kExtraOffset = 68;
constexpr std::size_t kDataOffset = 72;
constexpr std::size_t kSizeOffset = 76;

PackEntry DecodeEntry(const std::uint8_t* raw) {
  return {LoadU32(raw + kHashOffset), LoadU32(raw + kExtraOffset), LoadU32(raw + kDataOffset),
          LoadU32(raw + kSizeOffset)};
}

// Reads the head and answers the entry count, after checking that the directory fits.
bool ReadHead(ByteSource& pack, std::uint32_t& count) {
  std::uint8_t head[kPackHeadSize];
  if (!pack.Seek(0) || !pack.ReadExactly(head, sizeof head)) return false;
  if (std::memcmp(head, kMagic, sizeof kMagic) != 0) return false;
  count = LoadU32(head + 4);
  return count <= (pack.Size() - kPackHeadSize) / kPackEntrySize;
}

// The directory in one heap block, as the archive holds it.
HeapPtr<std::uint8_t> ReadDirectory(ByteSource& pack, std::uint32_t& count) {
  if (!ReadHead(pack, count)) return nullptr;
  const auto bytes = static_cast<std::uint32_t>(count * kPackEntrySize);  // fits: checked above
  HeapPtr<std::uint8_t> directory(static_cast<std::uint8_t*>(HeapAllocate(bytes)));
  if (!directory || !pack.ReadExactly(directory.get(), bytes)) return nullptr;
  return directory;
}

bool DataInside(const ByteSource& pack, const PackEntry& entry) {
  return std::uint64_t{entry.offset} + entry.size <= pack.Size();
}

}  // namespace

bool IsPackArchive(ByteSource& pack) {
  std::uint32_t count = 0;
  return ReadHead(pack, count);
}

bool FindPackEntryByHash(ByteSource& pack, std::uint32_t hash, PackEntry& entry) {
  std::uint32_t count = 0;
  const HeapPtr<std::uint8_t> directory = ReadDirectory(pack, count);
  if (!directory) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const PackEntry candidate = DecodeEntry(directory.get() + i * kPackEntrySize);
    if (candidate.hash != hash) continue;
    if (!DataInside(pack, candidate)) return false;
    entry = candidate;
    return true;
  }
  return false;
}

bool FindPackEntry(ByteSource& pack, std::string_view name, PackEntry& entry) {
  char normalised[kMaxPath];
  if (!NormaliseName(name, normalised)) return false;
  return FindPackEntryByHash(pack, Crc32(std::string_view(normalised)), entry);
}

bool ReadPackDirectory(ByteSource& pack, std::vector<PackListing>& listing) {
  std::uint32_t count = 0;
  const HeapPtr<std::uint8_t> directory = ReadDirectory(pack, count);
  if (!directory) return false;
  listing.clear();
  listing.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* raw = directory.get() + i * kPackEntrySize;
    const auto* text = reinterpret_cast<const char*>(raw);
    const char* end = std::find(text, text + kPackNameFieldSize, '\0');
    listing.push_back({DecodeEntry(raw), std::string(text, end)});
  }
  return true;
}

namespace {

// The length of the longest prefix of `name` that fits `limit` bytes without splitting a
// double-byte character.
std::size_t CutAtCharacter(std::string_view name, std::size_t limit) {
  std::size_t end = 0;
  while (end < name.size()) {
    const bool pair = IsShiftJisLeadByte(static_cast<std::uint8_t>(name[end])) && end + 1 < name.size();
    const std::size_t next = end + (pair ? 2 : 1);
    if (next > limit) break;
    end = next;
  }
  return end;
}

}  // namespace

bool BuildPackDirectory(std::span<const PackItem> items, std::vector<std::uint8_t>& directory) {
  const std::uint64_t directoryBytes = kPackHeadSize + std::uint64_t{kPackEntrySize} * items.size();
  std::uint64_t total = directoryBytes;
  for (const PackItem& item : items) total += item.storedSize;
  if (total > std::numeric_limits<std::uint32_t>::max()) return false;

  directory.assign(static_cast<std::size_t>(directoryBytes), 0);
  std::memcpy(directory.data(), kMagic, sizeof kMagic);
  StoreU32(directory.data() + 4, static_cast<std::uint32_t>(items.size()));
  auto offset = static_cast<std::uint32_t>(directoryBytes);
  std::uint8_t* raw = directory.data() + kPackHeadSize;
  for (const PackItem& item : items) {
    char normalised[kMaxPath];
    if (!NormaliseName(item.name, normalised)) return false;
    const std::string_view text(normalised);
    std::memcpy(raw, text.data(), CutAtCharacter(text, kPackNameFieldSize - 1));
    StoreU32(raw + kHashOffset, Crc32(text));
    StoreU32(raw + kDataOffset, offset);
    StoreU32(raw + kSizeOffset, item.storedSize);
    offset += item.storedSize;
    raw += kPackEntrySize;
  }
  return true;
}

}  // namespace vela
