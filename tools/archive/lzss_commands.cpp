// compress, decompress, and list and extract of LZSS files.
#include <vector>

#include "files/lzss.h"
#include "tools/archive/commands.h"
#include "tools/archive/file_io.h"

namespace vela::archive_tool {
namespace {

// The decoded data of a block, or false with a message.
bool DecodeBlock(const std::vector<std::uint8_t>& block, std::vector<std::uint8_t>& data, std::string& error) {
  std::uint32_t size = 0;
  if (!ReadLzssBlockHead(block, size)) {
    error = "not an LZSS file (it does not begin with \"LZSS\" and its size)";
    return false;
  }
  if (size > LzssMaxDecodedSize(block.size() - kLzssBlockHeadSize)) {
    error = "the LZSS head declares more data than its stream can hold";
    return false;
  }
  data.resize(size);
  if (!LzssDecodeBlock(block, data)) {
    error = "the LZSS stream ends before its declared size";
    return false;
  }
  return true;
}

}  // namespace

int CompressLzss(const Options&, Operands operands, Console console) {
  std::vector<std::uint8_t> input, block;
  std::string error;
  if (!ReadWholeFile(operands[0], input, error)) {
    console.err << error << "\n";
    return kExitFailed;
  }
  LzssEncodeBlock(input, block);  // cannot fail: the read refused 4 GiB
  if (!WriteWholeFile(operands[1], block, error)) {
    console.err << error << "\n";
    return kExitFailed;
  }
  console.out << operands[1] << ": " << input.size() << " bytes stored in " << block.size() << "\n";
  return kExitOk;
}

int DecompressLzss(const Options&, Operands operands, Console console) {
  std::vector<std::uint8_t> block, data;
  std::string error;
  if (!ReadWholeFile(operands[0], block, error) || !DecodeBlock(block, data, error) ||
      !WriteWholeFile(operands[1], data, error)) {
    console.err << operands[0] << ": " << error << "\n";
    return kExitFailed;
  }
  console.out << operands[1] << ": " << data.size() << " bytes\n";
  return kExitOk;
}

int ListLzss(const std::vector<std::uint8_t>& archive, Console console) {
  std::uint32_t size = 0;
  ReadLzssBlockHead(archive, size);
  std::vector<std::uint8_t> data;
  std::string error;
  const bool ok = DecodeBlock(archive, data, error);
  console.out << "LZSS block: " << size << " bytes stored in " << archive.size()
              << (ok ? "" : " (damaged: " + error + ")") << "\n";
  return ok ? kExitOk : kExitFailed;
}

int ExtractLzss(const std::vector<std::uint8_t>& archive, const std::filesystem::path& destination,
                Console console) {
  std::vector<std::uint8_t> data;
  std::string error;
  if (!DecodeBlock(archive, data, error) || !WriteWholeFile(destination, data, error)) {
    console.err << error << "\n";
    return kExitFailed;
  }
  console.out << Display(destination) << ": " << data.size() << " bytes\n";
  return kExitOk;
}

}  // namespace vela::archive_tool
