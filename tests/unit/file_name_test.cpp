#include "files/file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vela {
namespace {

std::string Normalised(std::string_view name) {
  char out[kMaxPath];
  EXPECT_TRUE(NormaliseName(name, out));
  return out;
}

TEST(FileName, UpperCasesAsciiAndTurnsSlashesIntoBackslashes) {
  EXPECT_EQ(Normalised("data/Img.png"), "DATA\\IMG.PNG");
  EXPECT_EQ(Normalised("a\\b/c_1~@[`{"), "A\\B\\C_1~@[`{");
}

TEST(FileName, KeepsShiftJisPairsUnchanged) {
  // 0x95 0x5C is one character whose trail byte is "\"; 0x83 0x61 one whose trail byte is "a";
  // 0xE0 0x2F one whose trail byte is "/". A lone lead byte at the end is copied as it is.
  EXPECT_EQ(Normalised("\x95\x5C" "a/\x83\x61" "b\xE0/x\xFE"),
            "\x95\x5C" "A\\\x83\x61" "B\xE0/X\xFE");
  // 0x80, 0xA0-0xDF and 0xFF are single bytes: the next byte is normalised.
  EXPECT_EQ(Normalised("\xA0" "a\xFF" "b\x80" "c"), "\xA0" "A\xFF" "B\x80" "C");
}

TEST(FileName, EndsAtTheFirstNulAndRefusesNamesLongerThanAPath) {
  EXPECT_EQ(Normalised(std::string_view("\x81\0z", 3)), "\x81");
  EXPECT_EQ(NameHash(std::string_view("ab\0cd", 5)), NameHash("AB"));
  char out[kMaxPath];
  EXPECT_TRUE(NormaliseName(std::string(kMaxPath - 1, 'x'), out));
  EXPECT_FALSE(NormaliseName(std::string(kMaxPath, 'x'), out));
  EXPECT_STREQ(out, "");
}

std::string Prefix(std::string_view folder) {
  char out[kMaxPath];
  EXPECT_TRUE(FolderPrefix(folder, out)) << folder;
  return out;
}

TEST(FileName, AFolderPrefixEndsInOneSeparatorAndFitsAPath) {
  EXPECT_EQ(Prefix("data"), "data\\");
  EXPECT_EQ(Prefix("data\\"), "data\\");
  EXPECT_EQ(Prefix("C:\\games/data/"), "C:\\games/data/");
  EXPECT_EQ(Prefix(""), "") << "an empty folder adds nothing to a name";
  // 0x95 0x5C is one character whose trail byte is "\"; after 0xA0 (a single byte) it is one.
  EXPECT_EQ(Prefix("\x95\x5C"), "\x95\x5C\\");

  const std::string longest(kMaxPath - 2, 'x');  // with the separator and the NUL: a whole path
  char out[kMaxPath];
  EXPECT_TRUE(FolderPrefix(longest, out));
  EXPECT_TRUE(FolderPrefix(longest + '/', out));
  EXPECT_FALSE(FolderPrefix(longest + 'x', out)) << "no room for the separator";
  EXPECT_STREQ(out, "");
}

TEST(FileName, HashesTheNormalisedNameWithZlibsCrc32) {
  EXPECT_EQ(NameHash("data/Img.png"), Crc32("DATA\\IMG.PNG"));
  // Hashing needs no path buffer, so names of any length hash consistently.
  EXPECT_EQ(NameHash(std::string(1000, 'q')), Crc32(std::string(1000, 'Q')));
}

}  // namespace
}  // namespace vela
