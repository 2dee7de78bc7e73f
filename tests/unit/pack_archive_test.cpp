#include "files/pack_archive.h"

#include <gtest/gtest.h>

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
bool Load(const Bytes& archive, std::string_view name, Bytes& out) {
  MemorySource source(archive);
  PackEntry entry;
  if (!FindPackEntry(source, name, entry)) return false;
  out.assign(archive.begin() + entry.offset, archive.begin() + entry.offset + entry.size);
  std::uint32_t decodedSize = 0;
  if (!ReadLzssBlockHead(out, decodedSize)) return true;
  Bytes decoded(decodedSize);
  if (!LzssDecodeBlock(out, decoded)) return false;
  out = std::move(decoded);
  return true;
}

bool IsPack(const Bytes& archive) {
  MemorySource source(archive);
  return IsPackArchive(source);
}

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

std::vector<File> SampleFiles() {
  Bytes block;
  LzssEncodeBlock(Text(std::string(500, 'z') + "tail"), block);
  return {{"readme.txt", Text("hello")},
          {"data/Img.png", Text("\x89PNG....")},
          {"empty.bin", {}},
          {"sound/\x95\x5C.wav", Text("sjis")},
          {"packed.dat", block},
          {std::string(70, 'n') + ".txt", Text("long name")}};
}

TEST(PackArchive, FindsEveryEntryByItsNameInAnySpelling) {
  const Bytes archive = BuildArchive(SampleFiles());
  Bytes out;
  ASSERT_TRUE(Load(archive, "README.TXT", out));
  EXPECT_EQ(out, Text("hello"));
  ASSERT_TRUE(Load(archive, "DATA\\img.PNG", out));
  EXPECT_EQ(out, Text("\x89PNG...."));
  ASSERT_TRUE(Load(archive, "SOUND\\\x95\x5C.WAV", out));
  EXPECT_EQ(out, Text("sjis"));
  ASSERT_TRUE(Load(archive, "Packed.dat", out));  // a block is handed out decoded
  EXPECT_EQ(out, Text(std::string(500, 'z') + "tail"));
  ASSERT_TRUE(Load(archive, std::string(70, 'N') + ".TXT", out));
  EXPECT_EQ(out, Text("long name"));
  EXPECT_FALSE(Load(archive, "missing.txt", out));
  EXPECT_FALSE(Load(archive, std::string(300, 'x'), out));
  EXPECT_TRUE(IsPack(BuildArchive({}))) << "an archive may be empty";
}

TEST(PackArchive, DirectoryHoldsHashOffsetsAndNameFields) {
  const std::vector<File> files = SampleFiles();
  const Bytes archive = BuildArchive(files);
  MemorySource source(archive);
  std::vector<PackListing> listing;
  ASSERT_TRUE(ReadPackDirectory(source, listing));
  ASSERT_EQ(listing.size(), files.size());
  std::uint32_t offset = kPackHeadSize + kPackEntrySize * files.size();
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(listing[i].entry.hash, NameHash(files[i].name));
    EXPECT_EQ(listing[i].entry.offset, offset);
    EXPECT_EQ(listing[i].entry.size, files[i].data.size());
    offset += static_cast<std::uint32_t>(files[i].data.size());
  }
  EXPECT_EQ(listing[1].nameField, "DATA\\IMG.PNG");
  EXPECT_EQ(listing[5].nameField, std::string(63, 'N'));  // cut to its field
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
  const Bytes archive = BuildArchive({{"a.txt", Text("first")}, {"A.TXT", Text("second")}});
  Bytes out;
  ASSERT_TRUE(Load(archive, "a.txt", out));
  EXPECT_EQ(out, Text("first"));
  // Different names can share a CRC-32 as well; the lookup cannot tell them apart.
  ASSERT_EQ(NameHash("29685295.txt"), NameHash("32060020.txt"));
  const Bytes colliding = BuildArchive({{"29685295.txt", Text("one")}, {"32060020.txt", Text("two")}});
  ASSERT_TRUE(Load(colliding, "32060020.txt", out));
  EXPECT_EQ(out, Text("one"));
}

TEST(PackArchive, DamagedArchivesAreNotFoundNotRead) {
  const Bytes good = BuildArchive({{"one", Text("1111")}, {"two", Text("22")}});
  Bytes out;
  EXPECT_TRUE(IsPack(good));

  Bytes wrongMagic = good;
  wrongMagic[0] = 'p';
  EXPECT_FALSE(Load(wrongMagic, "one", out));
  EXPECT_FALSE(IsPack(wrongMagic));

  for (std::size_t cut = 0; cut < kPackHeadSize + 2 * kPackEntrySize; ++cut) {
    EXPECT_FALSE(Load(Bytes(good.begin(), good.begin() + cut), "one", out)) << cut;
  }

  Bytes hugeCount = good;
  StoreU32(hugeCount.data() + 4, 0xFFFFFFFF);
  EXPECT_FALSE(Load(hugeCount, "one", out));
  StoreU32(hugeCount.data() + 4, 3);  // one more entry than the data holds
  EXPECT_FALSE(Load(hugeCount, "one", out));
  EXPECT_FALSE(IsPack(hugeCount));

  // The second entry's data reaches one byte past the end; an offset that wraps in 32 bits.
  Bytes pastEnd = good;
  std::uint8_t* second = pastEnd.data() + kPackHeadSize + kPackEntrySize;
  StoreU32(second + 76, 3);
  EXPECT_FALSE(Load(pastEnd, "two", out));
  EXPECT_TRUE(Load(pastEnd, "one", out));
  StoreU32(second + 72, 0xFFFFFFFF);
  StoreU32(second + 76, 2);
  EXPECT_FALSE(Load(pastEnd, "two", out));

  // An archive cut inside the data of its last entry.
  EXPECT_FALSE(Load(Bytes(good.begin(), good.end() - 1), "two", out));
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
