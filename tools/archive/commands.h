// The commands of vela-archive. Each takes its parsed options and operands, writes what it did
// to `out` and problems to `err`, and answers the process exit code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace vela::archive_tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Options {
  bool lzss = false;       // pack: compress entries
  bool dither = false;     // qpk: ordered dithering for 4-bit codes
  bool stored = false;     // extract: PACK entries as stored, LZSS blocks not decoded
  std::uint32_t code = 1;  // qpk: pixel code of every entry
  std::uint32_t rawWidth = 0;
  std::uint32_t rawHeight = 0;
};

struct Console {
  std::ostream& out;
  std::ostream& err;
};

using Operands = std::span<const std::string>;

int CreatePack(const Options& options, Operands operands, Console console);
int CreateQpk(const Options& options, Operands operands, Console console);
int CompressLzss(const Options& options, Operands operands, Console console);
int DecompressLzss(const Options& options, Operands operands, Console console);

// list and extract look at the archive's first bytes to tell the formats apart.
int ListPack(const std::vector<std::uint8_t>& archive, Console console);
int ListQpk(const std::vector<std::uint8_t>& archive, Console console);
int ListLzss(const std::vector<std::uint8_t>& archive, Console console);
int ExtractPack(const Options& options, const std::vector<std::uint8_t>& archive,
                const std::filesystem::path& destination, Console console);
int ExtractQpk(const std::vector<std::uint8_t>& archive, const std::filesystem::path& destination,
               Console console);
int ExtractLzss(const std::vector<std::uint8_t>& archive, const std::filesystem::path& destination,
                Console console);

}  // namespace vela::archive_tool
