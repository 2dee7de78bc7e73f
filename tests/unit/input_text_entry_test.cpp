// The text-entry buffer fed with character codes as the window's WM_CHAR messages bring them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "input/text_entry.h"

namespace {

using vela::input::kTextEntryCapacity;
using vela::input::TextEntryBuffer;

void Type(TextEntryBuffer& buffer, const std::string& bytes) {
  for (unsigned char byte : bytes) buffer.Take(byte);
}

TEST(TextEntry, ControlCodesAreDroppedAndACarriageReturnMarksALine) {
  TextEntryBuffer buffer;
  Type(buffer, "ab\b\t\x1b" "c ~");
  EXPECT_EQ(buffer.Mark(), '~');
  buffer.Take('\r');
  EXPECT_EQ(buffer.Text(), "abc ~");
  EXPECT_TRUE(buffer.LineEntered());
  buffer.Take(0x3041);  // only the low byte counts: 0x41
  EXPECT_FALSE(buffer.LineEntered());
  buffer.Take(0x010D);  // low byte 0x0D: a carriage return
  EXPECT_EQ(buffer.Text(), "abc ~A");
  EXPECT_TRUE(buffer.LineEntered());
}

TEST(TextEntry, ShiftJisPairsAreKeptWholeWhateverTheSecondByte) {
  TextEntryBuffer buffer;
  Type(buffer, "\x82\xA0");  // HIRAGANA LETTER A
  EXPECT_EQ(buffer.Text(), "\x82\xA0");
  EXPECT_EQ(buffer.Mark(), 0);
  // Second bytes that would be control codes or a carriage return alone.
  Type(buffer, "\xE0\x0D" "\x9F\x08" "\xFE\x40");
  EXPECT_EQ(buffer.Text(), std::string("\x82\xA0\xE0\x0D\x9F\x08\xFE\x40", 8));
  EXPECT_FALSE(buffer.LineEntered());
  // 0x80, 0xA0 to 0xDF (half-width kana) and 0xFF open no pair.
  Type(buffer, "\xB1\x08\xFF\x08");
  EXPECT_EQ(buffer.Text().substr(8), "\xB1\xFF");
}

TEST(TextEntry, FullBufferKeepsNothingMoreAndTheMarkStays) {
  TextEntryBuffer buffer;
  Type(buffer, std::string(kTextEntryCapacity - 1, 'x'));
  buffer.Take(0x82);  // the last place takes a lead byte; its second half finds no room
  ASSERT_EQ(buffer.Length(), kTextEntryCapacity);
  buffer.Take(0xA0);
  buffer.Take('y');
  EXPECT_EQ(buffer.Length(), kTextEntryCapacity);
  EXPECT_EQ(buffer.Mark(), 0x82);
  EXPECT_EQ(static_cast<unsigned char>(buffer.Text().back()), 0x82);

  TextEntryBuffer plain;
  Type(plain, std::string(kTextEntryCapacity, 'a'));
  plain.Take('b');
  EXPECT_EQ(plain.Mark(), 'a');
  EXPECT_EQ(plain.Text().find('b'), std::string_view::npos);
  plain.Take(0x0D);  // a line can still be entered
  EXPECT_TRUE(plain.LineEntered());

}

}  // namespace
