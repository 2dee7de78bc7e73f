#include "files/qpk_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "files/little_endian.h"

namespace vela::qpk {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string_view EntryHead::Name() const {
  return std::string_view(name, std::find(name, name + kNameFieldSize, '\0'));
}

bool NamesMatch(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool ReadArchiveHead(ByteSource& archive) {
  std::uint8_t head[kArchiveHeadSize];
  if (!archive.ReadExactly(head, sizeof head)) return false;
  return head[3] == 0 && NamesMatch(std::string_view(reinterpret_cast<const char*>(head), 3), "QPK");
}

bool ReadEntryHead(ByteSource& archive, EntryHead& head) {
  std::uint8_t raw[kEntryHeadSize];
  if (!archive.ReadExactly(raw, sizeof raw)) return false;
  std::memcpy(head.name, raw, kNameFieldSize);
  head.width = LoadU32(raw + 16);
  head.height = LoadU32(raw + 20);
  head.code = LoadU32(raw + 24);
  head.storedSize = LoadU32(raw + 28);
  return true;
}

bool SkipEntryData(ByteSource& archive, const EntryHead& head) {
  if (head.storedSize > archive.Remaining()) return false;
  return archive.Seek(archive.Position() + head.storedSize);
}

bool FindEntry(ByteSource& archive, std::string_view name, EntryHead& head) {
  if (!archive.Seek(0) || !ReadArchiveHead(archive)) return false;
  while (ReadEntryHead(archive, head)) {
    if (NamesMatch(head.Name(), name)) return true;
    if (!SkipEntryData(archive, head)) return false;
  }
  return false;
}

void AppendArchiveHead(std::vector<std::uint8_t>& archive) {
  static constexpr std::uint8_t kHead[kArchiveHeadSize] = {'Q', 'P', 'K', 0, 0, 0, 0, 0};
  archive.insert(archive.end(), std::begin(kHead), std::end(kHead));
}

bool AppendEntry(std::vector<std::uint8_t>& archive, std::string_view name, std::uint32_t width,
                 std::uint32_t height, std::uint32_t code, std::span<const std::uint8_t> data) {
  if (name.empty() || name.size() >= kNameFieldSize || name.find('\0') != std::string_view::npos ||
      data.size() > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  std::uint8_t raw[kEntryHeadSize] = {};
  std::memcpy(raw, name.data(), name.size());
  StoreU32(raw + 16, width);
  StoreU32(raw + 20, height);
  StoreU32(raw + 24, code);
  StoreU32(raw + 28, static_cast<std::uint32_t>(data.size()));
  archive.insert(archive.end(), std::begin(raw), std::end(raw));
  archive.insert(archive.end(), data.begin(), data.end());
  return true;
}

}  // namespace vela::qpk
