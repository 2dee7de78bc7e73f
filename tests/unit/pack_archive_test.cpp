#include "files/pack_archive.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files/file_name.h"
#include "files/little_endian.h"
#include "files/lzss.h"

namespace vela {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct File {
  std::string name;
  Bytes data;
};

Bytes BuildArchive(const std::vector<File>& files) {
  std::vector<PackItem> items;
  for (const File& f : files) items.push_back({f.name, static_cast<std::uint32_t>(f.data.size())});
  Bytes archive;
  EXPECT_TRUE(BuildPackDirectory(items, archive));
  for (const File& f : files) archive.insert(archive.end(), f.data.begin(), f.data.end());
  return archive;
}

// What the file service hands out for `name`: the entry's data, decoded when it is a block.
std::optional<Bytes> Load(const Bytes& archive, std::string_view name) {
  MemorySource source(archive);
  PackEntry entry;
  if (!FindPackEntry(source, name, entry)) return std::nullopt;
  Bytes out(archive.begin() + entry.offset, archive.begin() + entry.offset + entry.size);
  std::uint32_t decodedSize = 0;
  if (!ReadLzssBlockHead(out, decodedSize)) return out;
  Bytes decoded(decodedSize);
  if (!LzssDecodeBlock(out, decoded)) return std::nullopt;
  return decoded;
}

bool IsPack(const Bytes& archive) {
  MemorySource source(archive);
  return IsPackArchive(source);
}

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST(PackArchive, FindsEveryEntryByItsNameInAnySpelling) {
  Bytes block;
  LzssEncodeBlock(Text(std::string(500, 'z') + "tail"), block);
  const Bytes archive = BuildArchive({{"readme.txt", Text("hello")}, {"data/Img.png", Text("\x89PNG")},
                                      {"sound/\x95\x5C.wav", Text("sjis")}, {"packed.dat", block},
                                      {std::string(70, 'n') + ".txt", Text("long name")}});
  EXPECT_EQ(Load(archive, "README.TXT"), Text("hello"));
  EXPECT_EQ(Load(archive, "DATA\\img.PNG"), Text("\x89PNG"));
  EXPECT_EQ(Load(archive, "SOUND\\\x95\x5C.WAV"), Text("sjis"));
  EXPECT_EQ(Load(archive, "Packed.dat"), Text(std::string(500, 'z') + "tail")) << "a block is handed out decoded";
  EXPECT_EQ(Load(archive, std::string(70, 'N') + ".TXT"), Text("long name"));
  EXPECT_EQ(Load(archive, "missing.txt"), std::nullopt);
  EXPECT_EQ(Load(archive, std::string(300, 'x')), std::nullopt);
  EXPECT_TRUE(IsPack(BuildArchive({}))) << "an archive may be empty";
}

TEST(PackArchive, NameFieldIsNeverCutWithinADoubleByteCharacter) {
  std::string name(62, 'a');
  name += "\x95\x5C";  // bytes 62 and 63: the pair does not fit in 63
  const Bytes archive = BuildArchive({{name, Text("x")}});
  MemorySource source(archive);
  std::vector<PackListing> listing;
  ASSERT_TRUE(ReadPackDirectory(source, listing));
  EXPECT_EQ(listing[0].nameField, std::string(62, 'A'));
}

TEST(PackArchive, TakesTheFirstOfEntriesWithTheSameHash) {
  EXPECT_EQ(Load(BuildArchive({{"a.txt", Text("first")}, {"A.TXT", Text("second")}}), "a.txt"), Text("first"));
  // Different names can share a CRC-32 as well; the lookup cannot tell them apart.
  ASSERT_EQ(NameHash("29685295.txt"), NameHash("32060020.txt"));
  const Bytes colliding = BuildArchive({{"29685295.txt", Text("one")}, {"32060020.txt", Text("two")}});
  EXPECT_EQ(Load(colliding, "32060020.txt"), Text("one"));
}

TEST(PackArchive, DamagedArchivesAreNotFoundNotRead) {
  const Bytes good = BuildArchive({{"one", Text("1111")}, {"two", Text("22")}});
  EXPECT_TRUE(IsPack(good));

  Bytes wrongMagic = good;
  wrongMagic[0] = 'p';
  EXPECT_EQ(Load(wrongMagic, "one"), std::nullopt);
  EXPECT_FALSE(IsPack(wrongMagic));

  for (std::size_t cut = 0; cut < kPackHeadSize + 2 * kPackEntrySize; ++cut) {
    EXPECT_EQ(Load(Bytes(good.begin(), good.begin() + cut), "one"), std::nullopt) << cut;
  }

  Bytes hugeCount = good;
  StoreU32(hugeCount.data() + 4, 0xFFFFFFFF);
  EXPECT_EQ(Load(hugeCount, "one"), std::nullopt);
  StoreU32(hugeCount.data() + 4, 3);  // one more entry than the data holds
  EXPECT_EQ(Load(hugeCount, "one"), std::nullopt);
  EXPECT_FALSE(IsPack(hugeCount));

  // The second entry's data reaches one byte past the end; an offset that wraps in 32 bits.
  Bytes pastEnd = good;
  std::uint8_t* second = pastEnd.data() + kPackHeadSize + kPackEntrySize;
  StoreU32(second + 76, 3);
  EXPECT_EQ(Load(pastEnd, "two"), std::nullopt);
  EXPECT_EQ(Load(pastEnd, "one"), Text("1111"));
  StoreU32(second + 72, 0xFFFFFFFF);
  StoreU32(second + 76, 2);
  EXPECT_EQ(Load(pastEnd, "two"), std::nullopt);

  // An archive cut inside the data of its last entry.
  EXPECT_EQ(Load(Bytes(good.begin(), good.end() - 1), "two"), std::nullopt);
}

TEST(PackArchive, WriterRefusesWhatTheReaderCouldNotFind) {
  Bytes directory;
  const std::string tooLong(kMaxPath, 'x');
  const PackItem longName[] = {{tooLong, 1}};
  EXPECT_FALSE(BuildPackDirectory(longName, directory));
  const PackItem tooBig[] = {{"a", 0xFFFFFF00u}, {"b", 0x1000}};
  EXPECT_FALSE(BuildPackDirectory(tooBig, directory));
}

}  // namespace
}  // namespace vela
