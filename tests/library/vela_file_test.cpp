// VelaFile on real files: whole files loaded, LZSS blocks decoded on the way and damaged ones
// refused, names found through the search folders, and streamed reads confined to their PACK
// entry.

#include <list>
#include <optional>

#include "files/lzss.h"
#include "files/pack_archive.h"
#include "files/vela_file.h"
#include "tests/library/library_window_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class VelaFile : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int slot = 0; slot < vela::kSearchSlotCount; ++slot) vela::SetSearchSlot(slot, "", "");
  }
  std::string Write(const std::string& name, const Bytes& bytes) { return files_.emplace_back(name, bytes).Path(); }

  std::list<vela::test::TempFile> files_;
};

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

Bytes LzssBlock(const Bytes& contents) {
  Bytes block;
  EXPECT_TRUE(vela::LzssEncodeBlock(contents, block));
  return block;
}

TEST_F(VelaFile, WholeFilesLoadAndLzssBlocksAreHandedOutDecoded) {
  const Bytes contents = Pattern(20000);
  Bytes lookalike = LzssBlock(contents);
  lookalike[3] = 'X';  // "LZSX" is no block: handed out as it is
  Bytes cut = LzssBlock(contents);
  cut.resize(cut.size() / 2);  // the stream ends before the declared size
  const struct {
    const char* name;
    Bytes file;
    std::optional<Bytes> loaded;
  } cases[] = {
      {"plain.bin", Pattern(4097), Pattern(4097)},
      {"packed.lz", LzssBlock(contents), contents},
      {"lookalike.lz", lookalike, lookalike},
      {"empty.bin", {}, std::nullopt},
      {"cut.lz", cut, std::nullopt},
      {"lying.lz", {'L', 'Z', 'S', 'S', 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 1, 2, 3}, std::nullopt},  // no room for that
  };
  for (const auto& [name, file, loaded] : cases) {
    std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    const bool answer = vela::FileLoad(Write(name, file).c_str(), &data, &size);
    const vela::PageBlock block(data);
    EXPECT_EQ(answer, loaded.has_value()) << name;
    EXPECT_EQ(answer ? std::optional<Bytes>(Bytes(data, data + size)) : std::nullopt, loaded) << name;
  }
  std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  const std::string missing = vela::test::TempPath("missing.bin");
  EXPECT_FALSE(vela::FileLoad(missing.c_str(), &data, &size));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(vela::FileOpen(missing.c_str(), true), nullptr);
}

// Where a name is found: the first search folder that holds it as a file, passing over a folder
// of that name in an earlier one; a name that is only a folder is not found.
TEST_F(VelaFile, ANameResolvesToTheFirstFolderHoldingItAsAFile) {
  const std::string first = vela::test::TempPath("first\\"), second = vela::test::TempPath("second\\");
  for (const std::string& folder : {first, second}) {
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  }
  ASSERT_TRUE(CreateDirectoryA((first + "picture.png").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((first + "folder").c_str(), nullptr));
  ASSERT_TRUE(vela::test::WriteWholeFile(second + "picture.png", "png"));
  vela::SetSearchSlot(0, first.c_str(), "");
  vela::SetSearchSlot(1, second.c_str(), "");
  char path[vela::kMaxPath] = {};
  EXPECT_TRUE(vela::FileResolve(path, "picture.png"));
  EXPECT_EQ(std::string(path), second + "picture.png");
  EXPECT_FALSE(vela::FileResolve(path, "folder"));
  EXPECT_FALSE(vela::FileResolve(path, "missing.png"));
  DeleteFileA((second + "picture.png").c_str());
  for (const std::string& folder : {first + "picture.png", first + "folder", first, second}) {
    RemoveDirectoryA(folder.c_str());
  }
}

TEST_F(VelaFile, StreamedReadsStayInsideAPackEntry) {
  const Bytes first = Pattern(100), second = Pattern(50);
  Bytes archive;  // the directory, then the entries back to back
  const std::vector<vela::PackItem> items = {{"a.bin", 100}, {"b.bin", 50}};
  ASSERT_TRUE(vela::BuildPackDirectory(items, archive));
  archive.insert(archive.end(), first.begin(), first.end());
  archive.insert(archive.end(), second.begin(), second.end());
  const std::string pack = Write("stream.pak", archive);
  ASSERT_TRUE(vela::SetSearchSlot(0, "", pack.c_str()));

  vela::FileRecord* record = vela::FileOpen("a.bin", true);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->inPack, 1u);
  EXPECT_EQ(vela::FileGetSize(record), 100u);
  std::uint8_t buffer[200];
  EXPECT_EQ(vela::FileRead(record, sizeof buffer, buffer), 100u) << "reads stop at the entry's end";
  EXPECT_EQ(Bytes(buffer, buffer + 100), first);

  EXPECT_TRUE(vela::FileSeek(record, 0, 2));
  EXPECT_EQ(vela::FileRead(record, 1, buffer), 0u);
  EXPECT_FALSE(vela::FileSeek(record, 1, 2)) << "beyond the end";
  EXPECT_TRUE(vela::FileSeek(record, 0u - 10u, 2)) << "back by 10 from the end";
  EXPECT_EQ(vela::FileRead(record, 4, buffer), 4u);
  EXPECT_EQ(buffer[0], first[90]);
  EXPECT_FALSE(vela::FileSeek(record, 0u - 1u, 1)) << "before the start";
  EXPECT_TRUE(vela::FileSeek(record, 5, 1));
  EXPECT_EQ(vela::FileRead(record, 1, buffer), 1u);
  EXPECT_EQ(buffer[0], first[5]);
  vela::FileClose(record);

  vela::FileClose(nullptr);
  EXPECT_EQ(vela::FileRead(nullptr, 1, buffer), 0u);
  EXPECT_FALSE(vela::FileSeek(nullptr, 0, 0));
}

}  // namespace
