// The layout of QPK image archives, for the reader and the archive tool.
//
// An 8-byte head whose first four bytes are "QPK" and NUL (ASCII case ignored; the other four
// bytes are not read), then entries back to back up to the end of the data. Entry: a 32-byte
// head (name of up to 15 bytes NUL-terminated in 16 bytes, then u32 width, height, pixel code
// and stored size, little-endian) followed by the stored data. Pixel codes: qpk_pixels.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "files/byte_source.h"

namespace vela::qpk {

inline constexpr std::size_t kArchiveHeadSize = 8;
inline constexpr std::size_t kEntryHeadSize = 32;
inline constexpr std::size_t kNameFieldSize = 16;

struct EntryHead {
  char name[kNameFieldSize] = {};
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t code = 0;
  std::uint32_t storedSize = 0;

  // The name up to its first NUL, all 16 bytes when there is none.
  std::string_view Name() const;
};

// ASCII letters compare equal to their other case; every other byte only to itself.
bool NamesMatch(std::string_view a, std::string_view b);

// Reads the archive head from the current position.
bool ReadArchiveHead(ByteSource& archive);

// Reads the next entry head; false at the end of the data or on a head cut short by it.
bool ReadEntryHead(ByteSource& archive, EntryHead& head);

// Moves past the data of the entry whose head was just read; false when it would end beyond the
// data (a lying size ends the walk).
bool SkipEntryData(ByteSource& archive, const EntryHead& head);

// Walks the archive from its start to the first entry named `name`, leaving the position at
// its data. False when the head is wrong or no entry matches.
bool FindEntry(ByteSource& archive, std::string_view name, EntryHead& head);

// Writing, for tools (std::vector may throw std::bad_alloc). AppendArchiveHead starts an archive; AppendEntry adds one entry whose stored data is
// `data` as given (already compressed for codes 4-7). False for an empty name or one of more
// than 15 bytes, or data of 4 GiB or more.
void AppendArchiveHead(std::vector<std::uint8_t>& archive);
bool AppendEntry(std::vector<std::uint8_t>& archive, std::string_view name, std::uint32_t width,
                 std::uint32_t height, std::uint32_t code, std::span<const std::uint8_t> data);

}  // namespace vela::qpk
