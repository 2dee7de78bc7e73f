// VelaFile on real files under Windows: page blocks, the LZSS step, PACK entries found through
// a search slot, streamed reads confined to their data, QPK archives read through a record.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "files/lzss.h"
#include "files/pack_archive.h"
#include "files/qpk_format.h"
#include "files/qpk_image.h"
#include "files/vela_file.h"
#include "tools/archive/archive_tool.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class VelaFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "vela_file_test_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const auto& path : written_) DeleteFileA(path.c_str());
    RemoveDirectoryA(folder_.c_str());
    for (int slot = 0; slot < vela::kSearchSlotCount; ++slot) vela::SetSearchSlot(slot, "", "");
  }

  std::string Write(const char* name, const Bytes& bytes) {
    const std::string path = folder_ + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    written_.push_back(path);
    return path;
  }

  // Loads `name` and answers its bytes; the block is checked to be whole committed pages.
  bool Load(const std::string& name, Bytes& bytes, SIZE_T* blockSize = nullptr) {
    std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (!vela::FileLoad(name.c_str(), &data, &size)) {
      EXPECT_EQ(data, nullptr);
      return false;
    }
    vela::PageBlock block(data);
    MEMORY_BASIC_INFORMATION info{};
    VirtualQuery(data, &info, sizeof info);
    if (blockSize) *blockSize = info.RegionSize;
    bytes.assign(data, data + size);
    return true;
  }

  std::string folder_;
  std::vector<std::string> written_;
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

// A PACK archive holding the given entries back to back after its directory.
Bytes Pack(const std::vector<std::pair<std::string, Bytes>>& entries) {
  std::vector<vela::PackItem> items;
  for (const auto& [name, data] : entries) items.push_back({name, static_cast<std::uint32_t>(data.size())});
  Bytes archive;
  EXPECT_TRUE(vela::BuildPackDirectory(items, archive));
  for (const auto& entry : entries) archive.insert(archive.end(), entry.second.begin(), entry.second.end());
  return archive;
}

TEST_F(VelaFile, WholeFilesComeInPageBlocks) {
  Bytes bytes;
  SIZE_T block = 0;
  ASSERT_TRUE(Load(Write("ten.bin", Pattern(10)), bytes, &block));
  EXPECT_EQ(bytes, Pattern(10));
  EXPECT_EQ(block, 4096u);
  ASSERT_TRUE(Load(Write("more.bin", Pattern(4097)), bytes, &block));
  EXPECT_EQ(bytes, Pattern(4097));
  EXPECT_EQ(block, 8192u);
}

TEST_F(VelaFile, MissingAndEmptyFilesAreNotLoaded) {
  Bytes bytes;
  EXPECT_FALSE(Load(folder_ + "missing.bin", bytes));
  EXPECT_FALSE(Load(Write("empty.bin", {}), bytes));
  char path[vela::kMaxPath];
  EXPECT_FALSE(vela::FileResolve(path, (folder_ + "missing.bin").c_str()));
  EXPECT_EQ(vela::FileOpen((folder_ + "missing.bin").c_str(), true), nullptr);
}

TEST_F(VelaFile, LzssBlocksAreHandedOutDecoded) {
  const Bytes contents = Pattern(20000);
  Bytes bytes;
  SIZE_T block = 0;
  ASSERT_TRUE(Load(Write("packed.lz", LzssBlock(contents)), bytes, &block));
  EXPECT_EQ(bytes, contents);
  EXPECT_EQ(block, 20480u);

  Bytes lookalike = LzssBlock(contents);
  lookalike[3] = 'X';  // "LZSX" is no block: handed out as it is
  ASSERT_TRUE(Load(Write("lookalike.lz", lookalike), bytes));
  EXPECT_EQ(bytes, lookalike);
}

TEST_F(VelaFile, ADamagedLzssBlockFailsCleanly) {
  Bytes block = LzssBlock(Pattern(5000));
  block.resize(block.size() / 2);  // the stream ends before the declared size
  Bytes bytes;
  EXPECT_FALSE(Load(Write("cut.lz", block), bytes));

  Bytes lying = {'L', 'Z', 'S', 'S', 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 1, 2, 3};
  EXPECT_FALSE(Load(Write("lying.lz", lying), bytes)) << "a size the stream cannot hold";
}

TEST_F(VelaFile, SearchSlotsFindPackEntries) {
  const Bytes image = Pattern(300), text = Pattern(7000);
  const std::string pack = Write("data.pak", Pack({{"data/Img.png", image}, {"notes.txt", LzssBlock(text)}}));
  ASSERT_TRUE(vela::SetSearchSlot(3, "", pack.c_str()));

  Bytes bytes;
  ASSERT_TRUE(Load("DATA\\img.PNG", bytes)) << "names compare normalised";
  EXPECT_EQ(bytes, image);
  ASSERT_TRUE(Load("notes.txt", bytes));
  EXPECT_EQ(bytes, text) << "an LZSS entry is decoded";
  EXPECT_FALSE(Load("absent.txt", bytes));

  char path[vela::kMaxPath];
  ASSERT_TRUE(vela::FileResolve(path, "data/Img.png"));
  EXPECT_STREQ(path, "data/Img.png");
}

// What a user does: pack a folder with vela-archive, then load every file from the PACK.
TEST_F(VelaFile, AFolderPackedByTheToolLoadsByteForByte) {
  const std::string source = folder_ + "assets\\";
  CreateDirectoryA(source.c_str(), nullptr);
  CreateDirectoryA((source + "img").c_str(), nullptr);
  const std::vector<std::pair<std::string, Bytes>> files = {
      {"img\\Face.png", Pattern(5000)}, {"notes.txt", Bytes(9000, 'a')}, {"one.bin", Pattern(1)}};
  for (const auto& [name, bytes] : files) Write(("assets\\" + name).c_str(), bytes);

  for (const bool lzss : {false, true}) {
    const std::string pack = folder_ + (lzss ? "lzss.pak" : "plain.pak");
    std::vector<std::string> arguments = {"pack", source, pack};
    if (lzss) arguments.insert(arguments.begin() + 1, "--lzss");
    std::ostringstream out, err;
    ASSERT_EQ(vela::archive_tool::Run(arguments, out, err), 0) << err.str();
    written_.push_back(pack);
    ASSERT_TRUE(vela::SetSearchSlot(0, "", pack.c_str()));
    for (const auto& [name, bytes] : files) {
      Bytes loaded;
      ASSERT_TRUE(Load(name, loaded)) << name << (lzss ? " (LZSS)" : "");
      EXPECT_EQ(loaded, bytes) << name << (lzss ? " (LZSS)" : "");
    }
  }
  RemoveDirectoryA((source + "img").c_str());
  RemoveDirectoryA(source.c_str());
}

TEST_F(VelaFile, StreamedReadsStayInsideAPackEntry) {
  const Bytes first = Pattern(100), second = Pattern(50);
  const std::string pack = Write("stream.pak", Pack({{"a.bin", first}, {"b.bin", second}}));
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

TEST_F(VelaFile, ClosingWritesTheTimesBack) {
  const std::string path = Write("times.bin", Pattern(64));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME old{};
  old.dwHighDateTime = 0x01C00000;  // the 1990s
  SetFileTime(file, &old, &old, &old);
  CloseHandle(file);

  vela::FileRecord* record = vela::FileOpen(path.c_str(), true);
  ASSERT_NE(record, nullptr);
  std::uint8_t buffer[64];
  EXPECT_EQ(vela::FileRead(record, 64, buffer), 64u);
  vela::FileClose(record);

  file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME created, accessed, written;
  GetFileTime(file, &created, &accessed, &written);
  CloseHandle(file);
  EXPECT_EQ(CompareFileTime(&accessed, &old), 0);
  EXPECT_EQ(CompareFileTime(&written, &old), 0);
}

TEST_F(VelaFile, QpkArchivesAreReadThroughARecord) {
  Bytes archive;
  vela::qpk::AppendArchiveHead(archive);
  const Bytes pixels = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};  // 2 x 1, code 1
  ASSERT_TRUE(vela::qpk::AppendEntry(archive, "Other", 1, 1, 1, Bytes(4, 0)));
  ASSERT_TRUE(vela::qpk::AppendEntry(archive, "Face", 2, 1, 1, pixels));
  const std::string path = Write("faces.qpk", archive);

  vela::FileRecord* record = vela::FileOpen(path.c_str(), true);
  ASSERT_NE(record, nullptr);
  vela::FileRecordSource source(record);
  vela::CQPKImage image;
  EXPECT_EQ(image.Load(source, "FACE"), nullptr);
  EXPECT_EQ(image.GetImageSize(), 2u * 4u + 128u);
  EXPECT_EQ(std::memcmp(image.GetImageData() + 128, pixels.data(), pixels.size()), 0);
  EXPECT_STREQ(image.Load(source, "nobody"), vela::CQPKImage::kLoadFailedText);
  vela::FileClose(record);
}

}  // namespace
