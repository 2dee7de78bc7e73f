// The archive tool as a user meets it: command lines over real files in a scratch folder, and
// the results read back through the library's own readers.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/version.h"
#include "files/byte_source.h"
#include "files/little_endian.h"
#include "files/lzss.h"
#include "files/pack_archive.h"
#include "files/qpk_format.h"
#include "files/qpk_image.h"
#include "tools/archive/archive_tool.h"
#include "tools/archive/file_io.h"

namespace vela::archive_tool {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class ArchiveTool : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vela-archive-" + std::to_string(std::random_device()()));
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  int Tool(std::vector<std::string> arguments) {
    out_.str("");
    err_.str("");
    return archive_tool::Run(arguments, out_, err_);
  }

  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

  void Write(const std::string& relative, const Bytes& data) {
    std::string error;
    ASSERT_TRUE(WriteWholeFile(root_ / relative, data, error)) << error;
  }

  Bytes Read(const std::string& relative) {
    Bytes data;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(root_ / relative, data, error)) << error;
    return data;
  }

  fs::path root_;
  std::ostringstream out_;
  std::ostringstream err_;
};

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random());
  return out;
}

// What the library's file service hands out for data read from disk or from a PACK entry.
Bytes AsLoaded(const Bytes& data) {
  std::uint32_t size = 0;
  if (!ReadLzssBlockHead(data, size)) return data;
  Bytes decoded(size);
  EXPECT_TRUE(LzssDecodeBlock(data, decoded));
  return decoded;
}

// The entry's bytes as the archive stores them (empty when there is no such entry).
Bytes StoredInPack(const Bytes& archive, const std::string& name) {
  MemorySource source(archive);
  PackEntry entry;
  EXPECT_TRUE(FindPackEntry(source, name, entry)) << name;
  return Bytes(archive.begin() + entry.offset, archive.begin() + entry.offset + entry.size);
}

Bytes SmallQpk() {
  Bytes qpk;
  qpk::AppendArchiveHead(qpk);
  qpk::AppendEntry(qpk, "dot", 1, 1, 1, Bytes{1, 2, 3, 4});
  return qpk;
}

TEST_F(ArchiveTool, FolderToPackLoadsEveryFileAsFromTheDisk) {
  Bytes block;
  ASSERT_TRUE(LzssEncodeBlock(Text("decoded content"), block));
  std::string repetitive;
  for (int i = 0; i < 3000; ++i) repetitive += "line " + std::to_string(i % 10) + "\n";
  const std::vector<std::pair<std::string, Bytes>> files = {
      {"in/Data/Img.png", RandomBytes(5000, 1)}, {"in/data2/sub/empty.bin", {}}, {"in/already.lz", block},
      {"in/atlas.qpk", SmallQpk()},              {"in/big.txt", Text(repetitive)}};
  for (const auto& [name, data] : files) Write(name, data);

  for (const bool lzss : {false, true}) {
    SCOPED_TRACE(lzss ? "--lzss" : "plain");
    std::vector<std::string> command = {"pack", Path("in"), Path("in/game.pak")};
    if (lzss) command.insert(command.begin() + 1, "--lzss");
    ASSERT_EQ(Tool(command), 0) << err_.str();
    const Bytes archive = Read("in/game.pak");
    MemorySource source(archive);
    std::vector<PackListing> listing;
    ASSERT_TRUE(ReadPackDirectory(source, listing));
    EXPECT_EQ(listing.size(), files.size());  // the archive does not pack itself

    for (const auto& [name, data] : files) {
      const Bytes stored = StoredInPack(archive, name.substr(3));
      EXPECT_EQ(AsLoaded(stored), AsLoaded(data)) << name;
      // Only the compressible file is stored compressed: not a QPK (streamed), not a block, not
      // random bytes.
      EXPECT_EQ(stored != data, lzss && name == "in/big.txt") << name;
    }
  }
}

TEST_F(ArchiveTool, PackListAndExtractRestoreTheFiles) {
  Write("in/deep/b.bin", RandomBytes(300, 2));
  Write("in/c.txt", Text(std::string(2000, 'c')));
  ASSERT_EQ(Tool({"pack", "--lzss", Path("in"), Path("game.pak")}), 0) << err_.str();

  ASSERT_EQ(Tool({"list", Path("game.pak")}), 0) << err_.str();
  EXPECT_NE(out_.str().find("2 entries"), std::string::npos);
  EXPECT_NE(out_.str().find("DEEP\\B.BIN"), std::string::npos);
  EXPECT_NE(out_.str().find("LZSS"), std::string::npos);

  ASSERT_EQ(Tool({"extract", Path("game.pak"), Path("out")}), 0) << err_.str();
  EXPECT_EQ(Read("out/DEEP/B.BIN"), Read("in/deep/b.bin"));
  EXPECT_EQ(Read("out/C.TXT"), Text(std::string(2000, 'c')));

  ASSERT_EQ(Tool({"extract", "--stored", Path("game.pak"), Path("stored")}), 0) << err_.str();
  EXPECT_EQ(Read("stored/C.TXT"), StoredInPack(Read("game.pak"), "c.txt"));
}

TEST_F(ArchiveTool, ExtractKeepsHostileNamesInsideTheDestination) {
  const std::vector<PackItem> items = {{"..\\escape.txt", 1}, {"ok.txt", 1}};
  Bytes archive;
  ASSERT_TRUE(BuildPackDirectory(items, archive));
  archive.insert(archive.end(), {'e', 'o'});
  Write("evil.pak", archive);
  ASSERT_EQ(Tool({"extract", Path("evil.pak"), Path("out/inner")}), 0) << err_.str();
  EXPECT_FALSE(fs::exists(root_ / "out" / "ESCAPE.TXT"));
  EXPECT_EQ(Read("out/inner/OK.TXT"), Text("o"));
  int files = 0;
  for (const auto& entry : fs::directory_iterator(root_ / "out" / "inner")) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);  // the other one under a made-up name
}

TEST_F(ArchiveTool, PackRefusesNamesTheLibraryCouldNotTellApart) {
  // Two names with one CRC-32: the library would only ever find the first.
  Write("in/29685295.txt", Text("1"));
  Write("in/32060020.txt", Text("2"));
  EXPECT_EQ(Tool({"pack", Path("in"), Path("x.pak")}), 1);
  EXPECT_NE(err_.str().find("same name hash"), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "x.pak"));
  EXPECT_EQ(Tool({"pack", Path("missing"), Path("x.pak")}), 1);
}

TEST_F(ArchiveTool, LzssFilesRoundTrip) {
  const Bytes data = Text(std::string(5000, 'q') + "end");
  Write("data.bin", data);
  ASSERT_EQ(Tool({"compress", Path("data.bin"), Path("data.lz")}), 0) << err_.str();
  EXPECT_EQ(AsLoaded(Read("data.lz")), data);
  ASSERT_EQ(Tool({"decompress", Path("data.lz"), Path("back.bin")}), 0) << err_.str();
  EXPECT_EQ(Read("back.bin"), data);
  ASSERT_EQ(Tool({"list", Path("data.lz")}), 0);
  EXPECT_NE(out_.str().find("5003 bytes"), std::string::npos);

  EXPECT_EQ(Tool({"decompress", Path("data.bin"), Path("x")}), 1);
  const Bytes lz = Read("data.lz");
  Write("cut.lz", Bytes(lz.begin(), lz.end() - 1));
  EXPECT_EQ(Tool({"decompress", Path("cut.lz"), Path("x")}), 1);
}

// A 3 x 2 picture with distinct colours, as BGRA, top row first.
const Bytes kPicture = {10, 20, 30, 255,  40, 50, 60, 128,  70, 80, 90, 0,
                        100, 110, 120, 255, 130, 140, 150, 64, 255, 0, 17, 255};

// A 3-pixel-wide, 2-row BMP of 32 bits without bit fields, top row first: the fourth bytes are
// the alpha an image editor stored.
Bytes Bmp32(const Bytes& bgra) {
  Bytes file = {'B', 'M'};
  file.resize(54);
  // The pixels' offset, the info header's size, width, height, and one plane of 32 bits.
  for (auto [at, value] : {std::pair{10, 54u}, {14, 40u}, {18, 3u}, {22, 0xFFFFFFFEu}, {26, 1u | 32u << 16}}) {
    StoreU32(&file[at], value);
  }
  file.insert(file.end(), bgra.begin(), bgra.end());
  return file;
}

TEST_F(ArchiveTool, QpkOfEveryCodeLoadsThroughTheLibrary) {
  Write("pic.raw", kPicture);
  Write("alpha.bmp", Bmp32(kPicture));
  for (std::uint32_t code = 0; code <= 7; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    ASSERT_EQ(Tool({"qpk", "--code", std::to_string(code), "--raw-size", "3x2", Path("a.qpk"),
                    Path("pic.raw") + "=Raw", Path("alpha.bmp")}),
              0)
        << err_.str();
    const Bytes archive = Read("a.qpk");
    MemorySource source(archive);
    for (const char* name : {"RAW", "alpha"}) {
      CQPKImage image;
      ASSERT_EQ(image.Load(source, name), nullptr) << name;
      std::uint32_t width = 0, height = 0;
      image.GetSize(width, height);
      EXPECT_EQ(width * height, 6u);
      Bytes want = kPicture;
      if ((code & 3) == 0) {
        for (auto& c : want) c = static_cast<std::uint8_t>(c * 15 / 255 * 17);
      }
      EXPECT_EQ(Bytes(image.GetImageData() + 128, image.GetImageData() + image.GetImageSize()), want) << name;
    }
  }
}

TEST_F(ArchiveTool, BadCommandLinesAndInputsAreRefused) {
  Write("pic.bmp", Bmp32(kPicture));
  EXPECT_EQ(Tool({}), 2);
  EXPECT_NE(err_.str().find("Usage"), std::string::npos);
  EXPECT_EQ(Tool({"--version"}), 0);
  EXPECT_EQ(out_.str(), std::string("vela-archive ") + kPluginVersion + "\n");
  EXPECT_EQ(Tool({"frobnicate"}), 2);
  for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
           {"pack", Path("x")}, {"pack", "--code", "1", Path("x"), Path("y")}, {"qpk", "--code"},
           {"qpk", "--code", "8", Path("a.qpk"), Path("pic.bmp")}, {"qpk", "--raw-size", "12", Path("a.qpk"), Path("pic.bmp")}}) {
    EXPECT_EQ(Tool(usage), 2) << usage[1];
  }
  EXPECT_EQ(Tool({"qpk", Path("a.qpk"), Path("pic.bmp") + "=sixteen_bytes_xx"}), 1);
  EXPECT_EQ(Tool({"qpk", Path("a.qpk"), Path("pic.bmp"), Path("pic.bmp") + "=PIC"}), 1);
  EXPECT_EQ(Tool({"qpk", Path("a.qpk"), Path("nothing.bmp")}), 1);
  Write("cut.bmp", Bmp32(Bytes(kPicture.begin(), kPicture.end() - 1)));  // a pixel byte short
  EXPECT_EQ(Tool({"qpk", Path("a.qpk"), Path("cut.bmp")}), 1);
  EXPECT_NE(err_.str().find("cannot be read as a BMP file"), std::string::npos) << err_.str();
  Write("pic.raw", kPicture);
  EXPECT_EQ(Tool({"qpk", "--raw-size", "2x2", Path("a.qpk"), Path("pic.raw")}), 1);
  EXPECT_NE(err_.str().find("not width x height x 4 bytes"), std::string::npos) << err_.str();
  EXPECT_EQ(Tool({"list", Path("pic.bmp")}), 1);
  EXPECT_NE(err_.str().find("not a PACK, QPK or LZSS file"), std::string::npos);

  Bytes lying = SmallQpk();
  StoreU32(&lying[qpk::kArchiveHeadSize + 28], 1000);
  Write("bad.qpk", lying);
  EXPECT_EQ(Tool({"list", Path("bad.qpk")}), 1);
  EXPECT_EQ(Tool({"extract", Path("bad.qpk"), Path("out")}), 1);

  // An entry wider than the image codec takes: no texture can be made of it, nor a TGA file.
  Bytes wide;
  qpk::AppendArchiveHead(wide);
  qpk::AppendEntry(wide, "wide", 16385, 1, 1, Bytes(16385 * 4, 0x80));
  qpk::AppendEntry(wide, "dot", 1, 1, 1, Bytes{1, 2, 3, 4});
  Write("wide.qpk", wide);
  EXPECT_EQ(Tool({"extract", Path("wide.qpk"), Path("wide")}), 1);
  EXPECT_NE(err_.str().find("wide: too large"), std::string::npos) << err_.str();
  EXPECT_EQ(Read("wide/dot.tga").size(), 18u + 4u);
}

}  // namespace
}  // namespace vela::archive_tool
