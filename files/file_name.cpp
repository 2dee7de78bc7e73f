#include "files/file_name.h"

#include <array>

namespace vela {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

// Calls `emit` with each byte of the normalised name in order.
template <typename Emit>
void ForEachNormalisedByte(std::string_view name, Emit&& emit) {
  for (std::size_t i = 0; i < name.size() && name[i] != '\0'; ++i) {
    const auto byte = static_cast<std::uint8_t>(name[i]);
    if (IsShiftJisLeadByte(byte)) {
      emit(byte);
      // The trail byte may be an ASCII letter or 0x5C ("\"); it belongs to the character.
      if (i + 1 < name.size() && name[i + 1] != '\0') emit(static_cast<std::uint8_t>(name[++i]));
    } else if (byte >= 'a' && byte <= 'z') {
      emit(static_cast<std::uint8_t>(byte - 'a' + 'A'));
    } else if (byte == '/') {
      emit(static_cast<std::uint8_t>('\\'));
    } else {
      emit(byte);
    }
  }
}

std::uint32_t CrcStep(std::uint32_t state, std::uint8_t byte) {
  return kCrcTable[(state ^ byte) & 0xFF] ^ (state >> 8);
}

}  // namespace

bool NormaliseName(std::string_view name, char (&out)[kMaxPath]) {
  std::size_t length = 0;
  bool fits = true;
  ForEachNormalisedByte(name, [&](std::uint8_t byte) {
    if (length + 1 < kMaxPath) {
      out[length++] = static_cast<char>(byte);
    } else {
      fits = false;
    }
  });
  out[fits ? length : 0] = '\0';
  return fits;
}

bool FolderPrefix(std::string_view folder, char (&out)[kMaxPath]) {
  folder = folder.substr(0, folder.find('\0'));
  bool endsInSeparator = false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(folder[i]);
    endsInSeparator = byte == '\\' || byte == '/';
    if (IsShiftJisLeadByte(byte)) ++i;  // its trail byte, whatever it is, ends a character
  }
  const std::size_t length = folder.size() + (folder.empty() || endsInSeparator ? 0 : 1);
  if (length + 1 > kMaxPath) {
    out[0] = '\0';
    return false;
  }
  folder.copy(out, folder.size());
  if (length > folder.size()) out[folder.size()] = '\\';
  out[length] = '\0';
  return true;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
  std::uint32_t state = ~crc;
  for (std::uint8_t byte : bytes) state = CrcStep(state, byte);
  return ~state;
}

std::uint32_t Crc32(std::string_view text, std::uint32_t crc) {
  return Crc32(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), crc);
}

std::uint32_t NameHash(std::string_view name) {
  std::uint32_t state = 0xFFFFFFFFu;
  ForEachNormalisedByte(name, [&](std::uint8_t byte) { state = CrcStep(state, byte); });
  return ~state;
}

}  // namespace vela
