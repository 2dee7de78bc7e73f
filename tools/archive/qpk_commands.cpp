// qpk, and list and extract of QPK archives. Extraction goes through the library's own reader,
// so what it writes is what a texture would be made of.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <span>
#include <vector>

#include "files/byte_source.h"
#include "files/lzss.h"
#include "files/qpk_format.h"
#include "files/qpk_image.h"
#include "files/qpk_pixels.h"
#include "imagecodec/argb_image.h"
#include "tools/archive/commands.h"
#include "tools/archive/file_io.h"
#include "tools/archive/image_files.h"

namespace vela::archive_tool {
namespace fs = std::filesystem;
namespace {

struct ImageOperand {
  fs::path path;
  std::string name;
};

// "FILE" or "FILE=NAME"; the name defaults to the file name without its extension.
ImageOperand ParseImageOperand(const std::string& operand) {
  const std::size_t equals = operand.rfind('=');
  if (equals != std::string::npos && operand.find_first_of("/\\", equals) == std::string::npos) {
    return {operand.substr(0, equals), operand.substr(equals + 1)};
  }
  const fs::path path = operand;
  return {path, path.stem().string()};
}

// Four-bit channels with ordered dithering instead of truncation.
std::vector<std::uint8_t> DitherToNibbles(const codec::ArgbImage& image) {
  std::vector<std::uint8_t> out(image.pixelCount() * 2);
  const std::uint8_t* in = image.View().bits;  // blue, green, red, alpha; rows without padding
  for (std::uint32_t y = 0; y < image.height(); ++y) {
    for (std::uint32_t x = 0; x < image.width(); ++x, in += 4) {
      std::uint32_t pixel = 0;
      for (int c = 0; c < 4; ++c) pixel |= (qpk::Dither4(in[c], x, y) >> 4) << (12 - 4 * c);
      const std::size_t at = (std::size_t{y} * image.width() + x) * 2;
      out[at] = static_cast<std::uint8_t>(pixel);
      out[at + 1] = static_cast<std::uint8_t>(pixel >> 8);
    }
  }
  return out;
}

// The entry's stored data in `code`. The image's bytes are code 1: blue, green, red, alpha.
std::vector<std::uint8_t> StoredPixels(const codec::ArgbImage& image, std::uint32_t code, bool dither) {
  std::vector<std::uint8_t> pixels;
  if (dither && (code & 3) == qpk::kCodeNibbles) {
    pixels = DitherToNibbles(image);
  } else {
    pixels.resize(static_cast<std::size_t>(qpk::GetDataSize(image.width(), image.height(), code)));
    const std::span<const std::uint8_t> bgra(image.View().bits, image.pixelCount() * 4);
    qpk::Convert(image.width(), image.height(), qpk::kCodeBytes, bgra, code, pixels);
  }
  return qpk::IsCompressed(code) ? LzssEncode(pixels) : pixels;
}

// A file name for an entry: bytes that no file system takes become "_".
std::string FileNameFor(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("/\\:*?\"<>|", c)) c = '_';
  }
  if (out == "." || out == "..") out = "_";
  return out + ".tga";
}

// Every entry head in order; false when the head is wrong or an entry's data runs past the end.
bool ReadHeads(const std::vector<std::uint8_t>& archive, std::vector<qpk::EntryHead>& heads, Console console) {
  MemorySource source(archive);
  if (!qpk::ReadArchiveHead(source)) {
    console.err << "not a QPK archive\n";
    return false;
  }
  qpk::EntryHead head;
  while (qpk::ReadEntryHead(source, head)) {
    heads.push_back(head);
    if (!qpk::SkipEntryData(source, head)) {
      console.err << "the data of entry \"" << head.Name() << "\" runs past the end of the archive\n";
      return false;
    }
  }
  if (source.Remaining() != 0) console.err << "the archive ends inside an entry head\n";
  return source.Remaining() == 0;
}

}  // namespace

int CreateQpk(const Options& options, Operands operands, Console console) {
  if (options.code > qpk::kLastCode) {
    console.err << "--code must be 0 to 7\n";
    return kExitUsage;
  }
  std::vector<std::uint8_t> archive;
  qpk::AppendArchiveHead(archive);
  std::vector<std::string> names;
  for (const std::string& operand : operands.subspan(1)) {
    const ImageOperand item = ParseImageOperand(operand);
    if (item.name.empty() || item.name.size() >= qpk::kNameFieldSize) {
      console.err << operand << ": entry names have 1 to 15 bytes; give one as FILE=NAME\n";
      return kExitFailed;
    }
    if (std::any_of(names.begin(), names.end(), [&](const std::string& n) { return qpk::NamesMatch(n, item.name); })) {
      console.err << operand << ": the name " << item.name << " is taken (names ignore case)\n";
      return kExitFailed;
    }
    codec::ArgbImage image;
    std::string error;
    if (!ReadImageFile(item.path, options.rawWidth, options.rawHeight, image, error)) {
      console.err << Display(item.path) << ": " << error << "\n";
      return kExitFailed;
    }
    const std::vector<std::uint8_t> stored = StoredPixels(image, options.code, options.dither);
    if (archive.size() + qpk::kEntryHeadSize + stored.size() > 0xFFFFFFFFu ||
        !qpk::AppendEntry(archive, item.name, image.width(), image.height(), options.code, stored)) {
      console.err << "the archive would reach 4 GiB\n";
      return kExitFailed;
    }
    names.push_back(item.name);
    console.out << "  " << item.name << ": " << image.width() << " x " << image.height() << ", code "
                << options.code << ", " << stored.size() << " bytes\n";
  }
  std::string error;
  if (!WriteWholeFile(operands[0], archive, error)) {
    console.err << error << "\n";
    return kExitFailed;
  }
  console.out << operands[0] << ": " << names.size() << (names.size() == 1 ? " image, " : " images, ")
              << archive.size() << " bytes\n";
  return kExitOk;
}

int ListQpk(const std::vector<std::uint8_t>& archive, Console console) {
  std::vector<qpk::EntryHead> heads;
  const bool complete = ReadHeads(archive, heads, console);
  console.out << "QPK archive, " << heads.size() << " entries\n"
              << "  name             size               code      stored\n";
  for (const qpk::EntryHead& head : heads) {
    const std::string size = std::to_string(head.width) + " x " + std::to_string(head.height);
    const std::string code = std::to_string(head.code) + (qpk::IsCompressed(head.code) ? " LZSS" : "");
    console.out << "  " << std::left << std::setw(17) << head.Name() << std::setw(19) << size
                << std::setw(10) << code << std::right << head.storedSize << "\n";
  }
  return complete ? kExitOk : kExitFailed;
}

int ExtractQpk(const std::vector<std::uint8_t>& archive, const fs::path& destination, Console console) {
  std::vector<qpk::EntryHead> heads;
  int result = ReadHeads(archive, heads, console) ? kExitOk : kExitFailed;
  MemorySource source(archive);
  std::vector<std::string> done;
  std::size_t written = 0;
  for (const qpk::EntryHead& head : heads) {
    const std::string name(head.Name());
    if (std::any_of(done.begin(), done.end(), [&](const std::string& n) { return qpk::NamesMatch(n, name); })) {
      console.err << name << ": skipped, the library never reaches it (an earlier entry has its name)\n";
      continue;
    }
    done.push_back(name);
    CQPKImage reader;
    if (const char* message = reader.Load(source, name)) {
      console.err << name << ": " << message << "\n";
      result = kExitFailed;
      continue;
    }
    std::uint32_t width = 0, height = 0;
    reader.GetSize(width, height);
    const codec::ConstSurfaceView pixels(codec::PixelFormat::kA8R8G8B8, width, height,
                                         static_cast<std::ptrdiff_t>(width) * 4,
                                         reader.GetImageData() + qpk::kDdsHeaderSize);
    std::vector<std::uint8_t> tga;
    std::string error;
    if (!EncodeTga(pixels, tga, error)) {
      console.err << name << ": " << error << "\n";
      result = kExitFailed;
      continue;
    }
    if (!WriteWholeFile(destination / FileNameFor(name), tga, error)) {
      console.err << error << "\n";
      result = kExitFailed;
      continue;
    }
    ++written;
  }
  console.out << Display(destination) << ": " << written << " of " << heads.size() << " images extracted\n";
  return result;
}

}  // namespace vela::archive_tool
