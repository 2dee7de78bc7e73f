#include "input/text_entry.h"

namespace vela::input {

void TextEntryBuffer::Take(std::uint32_t characterCode) {
  const auto byte = static_cast<std::uint8_t>(characterCode & 0xFF);
  if (IsShiftJisLeadByte(mark_)) {
    if (Append(byte)) mark_ = 0;
    return;
  }
  if (byte == kLineEnteredMark) {
    mark_ = kLineEnteredMark;
    return;
  }
  if (byte < 0x20) return;
  if (Append(byte)) mark_ = byte;
}

void TextEntryBuffer::Clear() {
  length_ = 0;
  mark_ = 0;
}

bool TextEntryBuffer::Append(std::uint8_t byte) {
  if (length_ >= text_.size()) return false;
  text_[length_++] = static_cast<char>(byte);
  return true;
}

}  // namespace vela::input
