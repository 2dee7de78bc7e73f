// The text-entry buffer: the window's character messages collected as text in the system code
// page (Shift-JIS on a Japanese system), up to 2,048 bytes.
//
// A byte behind a Shift-JIS lead byte is the second half of its character and is kept whatever
// its value. A carriage return is not kept but marks that a line was entered; other control
// codes (backspace included) are dropped. Once the buffer is full nothing more is kept and the
// mark stays as it was. Nothing in the plug-in reads the buffer; the library keeps it for text
// input of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vela::input {

inline constexpr std::size_t kTextEntryCapacity = 2048;
inline constexpr std::uint8_t kLineEnteredMark = 0x0D;

// 0x81-0x9F and 0xE0-0xFE open a Shift-JIS double-byte character.
constexpr bool IsShiftJisLeadByte(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFE);
}

class TextEntryBuffer {
 public:
  // One character message; only its low byte is used.
  void Take(std::uint32_t characterCode);
  void Clear();

  std::string_view Text() const { return {text_.data(), length_}; }
  std::size_t Length() const { return length_; }
  // The last byte kept, 0 after the second half of a double-byte character, or the
  // carriage-return mark.
  std::uint8_t Mark() const { return mark_; }
  bool LineEntered() const { return mark_ == kLineEnteredMark; }

 private:
  bool Append(std::uint8_t byte);

  std::array<char, kTextEntryCapacity> text_ = {};
  std::size_t length_ = 0;
  std::uint8_t mark_ = 0;
};

}  // namespace vela::input
