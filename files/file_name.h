// Names of files and PACK entries as the file service compares them.
//
// Normalisation copies the name byte by byte: a Shift-JIS lead byte (0x81-0x9F, 0xE0-0xFE) is
// copied together with the byte after it unchanged, otherwise a-z become A-Z and "/" becomes
// "\". The name hash is the CRC-32 of zlib (reflected polynomial 0xEDB88320) over the
// normalised bytes; PACK directories are keyed by it.
//
// Names end at their first NUL byte, as C strings do. Paths live in 260-byte buffers: a name
// whose normalised form does not fit with its NUL is refused, never cut, so that a long name
// cannot silently turn into a different, shorter one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vela {

inline constexpr std::size_t kMaxPath = 260;  // bytes, the terminating NUL included

// Writes the NUL-terminated normalised name into `out`; false (and "" in `out`) when it needs
// more than kMaxPath bytes.
bool NormaliseName(std::string_view name, char (&out)[kMaxPath]);

// A folder as a prefix that names are appended to: "\" is added unless the folder is empty or
// already ends in "\" or "/" (a Shift-JIS trail byte 0x5C is no separator). False (and "" in
// `out`) when the prefix needs more than kMaxPath bytes.
bool FolderPrefix(std::string_view folder, char (&out)[kMaxPath]);

// The CRC-32 of `bytes`, continuing from `crc` (0 to start), as zlib's crc32 computes it.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);
std::uint32_t Crc32(std::string_view text, std::uint32_t crc = 0);

// The CRC-32 of the normalised name, for names of any length.
std::uint32_t NameHash(std::string_view name);

// True for the first byte of a double-byte Shift-JIS character.
constexpr bool IsShiftJisLeadByte(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFE);
}

}  // namespace vela
