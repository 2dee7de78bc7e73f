// libpng's and libjpeg-turbo's own test images (broken ones included) against the size, format,
// pixel hash or result code recorded in tests/data/imagecodec_corpus.csv. The folders come from
// VELA_TEST_CORPUS_PNG (libpng's contrib) and VELA_TEST_CORPUS_JPEG (libjpeg-turbo's testimages),
// in the environment or compiled in; VELA_UPDATE_GOLDEN=1 rewrites the table.
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>

#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

namespace fs = std::filesystem;

#ifndef VELA_TEST_CORPUS_PNG
#define VELA_TEST_CORPUS_PNG ""
#endif
#ifndef VELA_TEST_CORPUS_JPEG
#define VELA_TEST_CORPUS_JPEG ""
#endif

std::string CorpusFolder(const char* variable, const char* compiled) {
  const char* value = std::getenv(variable);
  return value && *value ? value : compiled;
}

fs::path GoldenTable() { return fs::path(VELA_TEST_DATA) / "imagecodec_corpus.csv"; }

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint64_t Fnv1a(const std::vector<std::uint32_t>& pixels) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (std::uint32_t pixel : pixels) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (pixel >> shift) & 0xFF;
      hash *= 0x100000001B3ull;
    }
  }
  return hash;
}

// The table's fields for a file: width, height, format, result code and the pixels' hash; all
// but the result 0 for a file that does not load.
std::string Observe(const std::vector<std::uint8_t>& file) {
  ImageInfo info;
  Result result = GetImageInfoFromMemory(file.data(), file.size(), info);
  Pixels pixels;
  if (result == Result::kOk) result = Load(file, info.width, info.height, pixels);
  const bool loaded = result == Result::kOk;
  std::ostringstream out;
  out << (loaded ? info.width : 0) << ',' << (loaded ? info.height : 0) << ','
      << (loaded ? static_cast<std::uint32_t>(info.format) : 0) << ",0x" << std::hex << std::setw(8) << std::setfill('0')
      << static_cast<std::uint32_t>(result) << ",0x" << std::setw(16) << (loaded ? Fnv1a(pixels.argb) : 0);
  return out.str();
}

// Corpus files by their name in the table: "png/<path under contrib>" and "jpeg/<name>".
std::map<std::string, fs::path> FindCorpus() {
  std::map<std::string, fs::path> files;
  const std::string png = CorpusFolder("VELA_TEST_CORPUS_PNG", VELA_TEST_CORPUS_PNG);
  for (const char* folder : {"pngsuite", "testpngs"}) {
    const fs::path root = fs::path(png) / folder;
    if (png.empty() || !fs::is_directory(root)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.is_regular_file() && entry.path().extension() == ".png") {
        files["png/" + fs::relative(entry.path(), png).generic_string()] = entry.path();
      }
    }
  }
  const std::string jpeg = CorpusFolder("VELA_TEST_CORPUS_JPEG", VELA_TEST_CORPUS_JPEG);
  if (!jpeg.empty() && fs::is_directory(jpeg)) {
    for (const auto& entry : fs::directory_iterator(jpeg)) {
      const auto extension = entry.path().extension();
      if (entry.is_regular_file() && (extension == ".jpg" || extension == ".bmp")) {
        files["jpeg/" + entry.path().filename().generic_string()] = entry.path();
      }
    }
  }
  return files;
}

// The table's lines by file name.
std::map<std::string, std::string> ReadGolden() {
  std::map<std::string, std::string> table;
  std::ifstream in(GoldenTable());
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line.rfind("file,", 0) == 0) continue;
    const std::size_t comma = line.find(',');
    table[line.substr(0, comma)] = line.substr(comma + 1);
  }
  return table;
}

TEST(ImageCodecCorpus, EveryFileMatchesTheGoldenTable) {
  const auto files = FindCorpus();
  if (files.empty()) GTEST_SKIP() << "no corpus: set VELA_TEST_CORPUS_PNG and VELA_TEST_CORPUS_JPEG";
  if (const char* update = std::getenv("VELA_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    std::ofstream out(GoldenTable(), std::ios::trunc);
    out << "# Decoded corpus images: result code, and for loaded files size, D3DFORMAT and the FNV-1a 64\n"
           "# hash of the A8R8G8B8 pixels (little-endian bytes). Rewritten with VELA_UPDATE_GOLDEN=1.\n"
           "file,width,height,format,result,hash\n";
    for (const auto& [name, path] : files) out << name << ',' << Observe(ReadFile(path)) << '\n';
    GTEST_SKIP() << "wrote " << GoldenTable();
  }
  const auto golden = ReadGolden();
  ASSERT_FALSE(golden.empty()) << "missing " << GoldenTable();
  int loaded = 0, failed = 0;
  for (const auto& [name, path] : files) {
    const std::string row = Observe(ReadFile(path));
    const auto expected = golden.find(name);
    if (expected == golden.end()) {
      ADD_FAILURE() << name << " is not in the table: " << row;
      continue;
    }
    EXPECT_EQ(row, expected->second) << name;
    (row.find(",0x00000000,") != std::string::npos ? loaded : failed)++;
  }
  // Both kinds must be there: the broken files of the suites fail, the rest load.
  EXPECT_GT(loaded, 100);
  EXPECT_GT(failed, 3);
}

}  // namespace
}  // namespace vela::codec::testing
