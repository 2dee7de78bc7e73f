#include "tools/archive/archive_tool.h"

#include <charconv>
#include <cstring>
#include <exception>
#include <string_view>

#include "core/version.h"
#include "files/lzss.h"
#include "tools/archive/commands.h"
#include "tools/archive/file_io.h"

namespace vela::archive_tool {
namespace {

constexpr const char* kUsage = R"(vela-archive: creates and inspects the archives the Vela library reads.

Usage:
  vela-archive pack [--lzss] FOLDER ARCHIVE
      Makes a PACK archive of every file below FOLDER. Entries are named by their path
      relative to FOLDER with "\" between folders (sub\file.png); the library finds them
      under any letter case and with "/" as well. --lzss stores files as LZSS blocks where
      that makes them smaller; QPK archives stay as they are, because the library reads
      them as a stream, and so do files that already are LZSS blocks.

  vela-archive qpk [--code N] [--dither] [--raw-size WxH] ARCHIVE IMAGE[=NAME]...
      Makes a QPK image archive. IMAGE is a .bmp or .tga file of any kind the library
      reads, or a .raw/.bgra file of 32-bit BGRA pixels, which needs --raw-size. 32-bit
      TGA files and 32-bit BMP files without bit fields keep their fourth bytes as alpha;
      a BMP whose alpha is 0 in every pixel is opaque. NAME (1 to 15 bytes, letter case
      ignored by the library) defaults to the file name without its extension.
      --code N   pixel code of every entry: 0 = 4 bits per channel, 1 = 8 bits (default),
                 2 = 16 bits, 3 = 32-bit float; 4 to 7 = the same, LZSS-compressed
      --dither   ordered dithering instead of truncation for codes 0 and 4

  vela-archive compress INPUT OUTPUT
      Writes INPUT as an LZSS file; the library reads it back as INPUT's data.
  vela-archive decompress INPUT OUTPUT
      Writes the data of the LZSS file INPUT.

  vela-archive list ARCHIVE
      Lists a PACK, QPK or LZSS file (told apart by their first bytes).
  vela-archive extract [--stored] ARCHIVE DESTINATION
      PACK: every entry into the folder DESTINATION, LZSS blocks decoded as the library
      hands them out (--stored: as stored). QPK: every image into the folder DESTINATION as
      a 32-bit TGA file, as the library converts it. LZSS: the data into the file DESTINATION.

  vela-archive --version
      Prints the version of the tool, which is that of the plug-in built with it.

Exit status: 0 done, 1 bad input or output, 2 bad command line.
)";

struct Command {
  const char* name;
  std::size_t minOperands;
  std::size_t maxOperands;  // 0: no limit
  const char* options;      // the options it accepts, space-separated
};

constexpr Command kCommands[] = {
    {"pack", 2, 2, "--lzss"},
    {"qpk", 2, 0, "--code --dither --raw-size"},
    {"compress", 2, 2, ""},
    {"decompress", 2, 2, ""},
    {"list", 1, 1, ""},
    {"extract", 2, 2, "--stored"},
};

bool Accepts(const Command& command, std::string_view option) {
  std::string_view list = command.options;
  while (!list.empty()) {
    const std::size_t space = list.find(' ');
    if (list.substr(0, space) == option) return true;
    list = space == std::string_view::npos ? std::string_view() : list.substr(space + 1);
  }
  return false;
}

bool ParseNumber(std::string_view text, std::uint32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseSize(std::string_view text, std::uint32_t& width, std::uint32_t& height) {
  const std::size_t x = text.find_first_of("xX");
  return x != std::string_view::npos && ParseNumber(text.substr(0, x), width) &&
         ParseNumber(text.substr(x + 1), height) && width > 0 && height > 0;
}

int UsageError(std::ostream& err, const std::string& message) {
  err << "vela-archive: " << message << "\nRun \"vela-archive help\" for the usage.\n";
  return kExitUsage;
}

int ListOrExtract(const Command& command, const Options& options, const std::vector<std::string>& operands,
                  Console console) {
  std::vector<std::uint8_t> archive;
  std::string error;
  if (!ReadWholeFile(operands[0], archive, error)) {
    console.err << error << "\n";
    return kExitFailed;
  }
  const bool extract = std::strcmp(command.name, "extract") == 0;
  const auto begins = [&](const char* magic, std::size_t length) {
    return archive.size() >= length && std::memcmp(archive.data(), magic, length) == 0;
  };
  const auto caseless = [&](std::size_t i, char upper) { return archive[i] == upper || archive[i] == upper + 32; };
  if (begins("PACK", 4)) {
    return extract ? ExtractPack(options, archive, operands[1], console) : ListPack(archive, console);
  }
  if (archive.size() >= 4 && caseless(0, 'Q') && caseless(1, 'P') && caseless(2, 'K') && archive[3] == 0) {
    return extract ? ExtractQpk(archive, operands[1], console) : ListQpk(archive, console);
  }
  if (begins("LZSS", 4)) {
    return extract ? ExtractLzss(archive, operands[1], console) : ListLzss(archive, console);
  }
  console.err << operands[0] << ": not a PACK, QPK or LZSS file\n";
  return kExitFailed;
}

int Dispatch(const Command& command, const Options& options, const std::vector<std::string>& operands,
             Console console) {
  const std::string_view name = command.name;
  if (name == "pack") return CreatePack(options, operands, console);
  if (name == "qpk") return CreateQpk(options, operands, console);
  if (name == "compress") return CompressLzss(options, operands, console);
  if (name == "decompress") return DecompressLzss(options, operands, console);
  return ListOrExtract(command, options, operands, console);
}

}  // namespace

int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  const std::string& verb = arguments[0];
  if (verb == "help" || verb == "--help" || verb == "-h") {
    out << kUsage;
    return kExitOk;
  }
  if (verb == "--version") {
    out << "vela-archive " << kPluginVersion << "\n";
    return kExitOk;
  }
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (verb == c.name) command = &c;
  }
  if (!command) return UsageError(err, "unknown command \"" + verb + "\"");

  Options options;
  std::vector<std::string> operands;
  bool optionsEnd = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnd || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
      operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnd = true;
      continue;
    }
    if (!Accepts(*command, argument)) return UsageError(err, verb + " has no option " + argument);
    const bool takesValue = argument == "--code" || argument == "--raw-size";
    if (takesValue && i + 1 >= arguments.size()) return UsageError(err, argument + " needs a value");
    if (argument == "--lzss") options.lzss = true;
    if (argument == "--dither") options.dither = true;
    if (argument == "--stored") options.stored = true;
    if (argument == "--code" && (!ParseNumber(arguments[++i], options.code) || options.code > 7)) {
      return UsageError(err, "--code takes a pixel code from 0 to 7");
    }
    if (argument == "--raw-size" && !ParseSize(arguments[++i], options.rawWidth, options.rawHeight)) {
      return UsageError(err, "--raw-size takes WIDTHxHEIGHT, for example 256x128");
    }
  }
  if (operands.size() < command->minOperands ||
      (command->maxOperands != 0 && operands.size() > command->maxOperands)) {
    return UsageError(err, verb + " takes " +
                               (command->maxOperands == command->minOperands
                                    ? std::to_string(command->minOperands)
                                    : "at least " + std::to_string(command->minOperands)) +
                               " file or folder names");
  }

  Console console{out, err};
  try {
    return Dispatch(*command, options, operands, console);
  } catch (const std::exception& e) {
    // Out of memory, or a name the system cannot convert: a message, not an abort.
    err << "vela-archive: " << e.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace vela::archive_tool
