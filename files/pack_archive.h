// PACK archives: an indexed container of files.
//
// Layout (little-endian): "PACK", the entry count n (u32), then n directory entries of 80
// bytes. Entry: 64 bytes the reader ignores (our writer keeps the normalised name there,
// NUL-padded, for listings), the name hash (u32, see file_name.h) at 64, a further u32 at 68
// that is handed to the caller and used by nobody, the absolute offset of the data at 72 and
// its stored size at 76. An entry's data may itself be an LZSS block.
//
// The lookup takes the first entry whose hash matches. A count that the data cannot hold, or a
// matching entry whose data lies beyond the end, is a failed lookup; so is a missing magic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/byte_source.h"

namespace vela {

inline constexpr std::size_t kPackHeadSize = 8;
inline constexpr std::size_t kPackEntrySize = 80;
inline constexpr std::size_t kPackNameFieldSize = 64;

struct PackEntry {
  std::uint32_t hash = 0;
  std::uint32_t extra = 0;
  std::uint32_t offset = 0;  // absolute position of the data in the archive
  std::uint32_t size = 0;    // stored size of the data
};

// True when `pack` begins with a PACK head whose directory fits in it.
bool IsPackArchive(ByteSource& pack);

// Looks up the entry of `name` (normalised and hashed as the file service does). Names that do
// not fit a 260-byte path are not found.
bool FindPackEntry(ByteSource& pack, std::string_view name, PackEntry& entry);
bool FindPackEntryByHash(ByteSource& pack, std::uint32_t hash, PackEntry& entry);

// Listing and writing are for tools: they allocate through std::vector and may throw
// std::bad_alloc. The lookups above never throw.
//
// The whole directory in order, with the text of each name field (up to its first NUL), for
// listings. False when the head or the directory is damaged; entries pointing beyond the end are
// listed as they are.
struct PackListing {
  PackEntry entry;
  std::string nameField;
};
bool ReadPackDirectory(ByteSource& pack, std::vector<PackListing>& listing);

// Writing: the head and directory of an archive whose entries' data follow the directory back
// to back, in the order given. Each name is normalised and hashed; its name field keeps the
// normalised name cut to 63 bytes (never within a double-byte character). False when a name
// does not fit a 260-byte path or the archive would reach 4 GiB.
struct PackItem {
  std::string_view name;
  std::uint32_t storedSize = 0;
};
bool BuildPackDirectory(std::span<const PackItem> items, std::vector<std::uint8_t>& directory);

}  // namespace vela
