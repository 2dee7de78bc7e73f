// pack, and list and extract of PACK archives.
//
// An archive made here gives the library the same data as the folder it was made from: entries
// are stored as the files are, so a file that already is an LZSS block is handed out decoded
// from the archive exactly as from the disk. With --lzss the other files become LZSS blocks
// where that makes them smaller, except QPK archives, which the library reads as a stream
// without decoding.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "files/byte_source.h"
#include "files/file_name.h"
#include "files/lzss.h"
#include "files/pack_archive.h"
#include "files/qpk_format.h"
#include "tools/archive/commands.h"
#include "tools/archive/file_io.h"

namespace vela::archive_tool {
namespace fs = std::filesystem;
namespace {

struct FolderFile {
  std::string name;  // relative path with "\" separators
  fs::path path;
};

bool BeginsWithLzss(const std::vector<std::uint8_t>& data) {
  return data.size() >= 4 && std::memcmp(data.data(), "LZSS", 4) == 0;
}

bool IsQpkArchive(const std::vector<std::uint8_t>& data) {
  MemorySource source(data);
  return qpk::ReadArchiveHead(source);
}

[[maybe_unused]] bool HasNonAscii(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Every regular file below `folder` except `archive`, sorted by name.
bool CollectFolder(const fs::path& folder, const fs::path& archive, std::vector<FolderFile>& files,
                   Console console) {
  std::error_code code;
  fs::recursive_directory_iterator it(folder, code), end;
  for (; !code && it != end; it.increment(code)) {
    std::error_code typeError;  // a dangling link is skipped, not a reason to stop
    if (!it->is_regular_file(typeError)) continue;
    std::error_code same;
    if (fs::equivalent(it->path(), archive, same)) continue;
    std::string name = it->path().lexically_relative(folder).generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    files.push_back({std::move(name), it->path()});
  }
  if (code) {
    console.err << "cannot read the folder " << Display(folder) << ": " << code.message() << "\n";
    return false;
  }
  std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
  return true;
}

// The library finds an entry by its name's hash only: two names with one hash cannot both be
// found, and a name beyond a path's length not at all.
bool CheckNames(const std::vector<FolderFile>& files, Console console) {
  std::map<std::uint32_t, const FolderFile*> byHash;
  bool ok = true;
  for (const FolderFile& file : files) {
    char normalised[kMaxPath];
    if (!NormaliseName(file.name, normalised)) {
      console.err << file.name << ": the name is longer than the library's 259 bytes\n";
      ok = false;
      continue;
    }
    const auto [at, added] = byHash.emplace(Crc32(std::string_view(normalised)), &file);
    if (!added) {
      console.err << file.name << " and " << at->second->name
                  << " have the same name hash; the library could find only one of them\n";
      ok = false;
    }
#ifndef _WIN32
    if (HasNonAscii(file.name)) {
      console.err << "note: " << file.name << " is stored with the bytes of its name here (UTF-8); "
                  << "the game must pass the same bytes to find it\n";
    }
#endif
  }
  return ok;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Hex(std::uint32_t value) {
  std::ostringstream text;
  text << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << value;
  return text.str();
}

// The name an entry is listed and extracted under: its name field when that is the name the
// hash was made from.
bool KnownName(const PackListing& item) {
  return !item.nameField.empty() && NameHash(item.nameField) == item.entry.hash;
}

std::string FallbackName(std::size_t index, const PackListing& item) {
  std::ostringstream text;
  text << "entry_" << std::setw(4) << std::setfill('0') << index << "_" << Hex(item.entry.hash) << ".bin";
  return text.str();
}

bool ReadListing(const std::vector<std::uint8_t>& archive, std::vector<PackListing>& listing, Console console) {
  MemorySource source(archive);
  if (!ReadPackDirectory(source, listing)) {
    console.err << "the PACK directory is damaged: its entry count does not fit the file\n";
    return false;
  }
  return true;
}

bool InsideArchive(const std::vector<std::uint8_t>& archive, const PackEntry& entry) {
  return std::uint64_t{entry.offset} + entry.size <= archive.size();
}

}  // namespace

int CreatePack(const Options& options, Operands operands, Console console) {
  const fs::path folder = operands[0];
  const fs::path archivePath = operands[1];
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    console.err << Display(folder) << " is not a folder\n";
    return kExitFailed;
  }
  std::vector<FolderFile> files;
  if (!CollectFolder(folder, archivePath, files, console) || !CheckNames(files, console)) return kExitFailed;

  std::unique_ptr<std::FILE, FileCloser> out(std::fopen(archivePath.string().c_str(), "wb"));
  const auto fail = [&](const std::string& message) {
    console.err << message << "\n";
    out.reset();
    fs::remove(archivePath, code);
    return kExitFailed;
  };
  if (!out) return fail("cannot write " + Display(archivePath));

  // The directory comes first but needs every stored size: write it last, over a placeholder.
  std::vector<std::uint8_t> directory(kPackHeadSize + kPackEntrySize * files.size(), 0);
  if (std::fwrite(directory.data(), 1, directory.size(), out.get()) != directory.size()) {
    return fail("cannot write " + Display(archivePath));
  }
  std::vector<PackItem> items;
  std::uint64_t total = directory.size();
  std::size_t compressed = 0;
  for (const FolderFile& file : files) {
    std::vector<std::uint8_t> data, block;
    std::string error;
    if (!ReadWholeFile(file.path, data, error)) return fail(error);
        if (options.lzss && !BeginsWithLzss(data) && !IsQpkArchive(data) && LzssEncodeBlock(data, block) &&
        block.size() < data.size()) {
      data.swap(block);
      ++compressed;
    }
    total += data.size();
    if (total > 0xFFFFFFFFu) return fail("the archive would reach 4 GiB, more than PACK offsets can address");
    if (std::fwrite(data.data(), 1, data.size(), out.get()) != data.size()) {
      return fail("cannot write " + Display(archivePath));
    }
    items.push_back({file.name, static_cast<std::uint32_t>(data.size())});
  }
  if (!BuildPackDirectory(items, directory) || std::fseek(out.get(), 0, SEEK_SET) != 0 ||
      std::fwrite(directory.data(), 1, directory.size(), out.get()) != directory.size() ||
      std::fclose(out.release()) != 0) {
    return fail("cannot write " + Display(archivePath));
  }
  console.out << Display(archivePath) << ": " << files.size() << " entries, " << total << " bytes";
  if (options.lzss) console.out << ", " << compressed << " stored as LZSS blocks";
  console.out << "\n";
  return kExitOk;
}

int ListPack(const std::vector<std::uint8_t>& archive, Console console) {
  std::vector<PackListing> listing;
  if (!ReadListing(archive, listing, console)) return kExitFailed;
  console.out << "PACK archive, " << listing.size() << " entries\n"
              << "  hash      offset      stored  content\n";
  std::map<std::uint32_t, std::size_t> firstWithHash;
  int result = kExitOk;
  for (std::size_t i = 0; i < listing.size(); ++i) {
    const PackListing& item = listing[i];
    console.out << "  " << Hex(item.entry.hash) << std::setw(10) << item.entry.offset << std::setw(12)
                << item.entry.size << "  ";
    std::uint32_t decoded = 0;
    const bool inside = InsideArchive(archive, item.entry);
    if (!inside) {
      console.out << "(outside the file)";
      result = kExitFailed;
    } else if (ReadLzssBlockHead(std::span(archive).subspan(item.entry.offset, item.entry.size), decoded)) {
      console.out << "LZSS " << std::setw(9) << decoded;
    } else {
      console.out << "           ";
    }
    console.out << "  " << (KnownName(item) ? item.nameField : "(name unknown)");
    const auto [first, added] = firstWithHash.emplace(item.entry.hash, i);
    if (!added) console.out << "  (hidden by entry " << first->second << ")";
    console.out << "\n";
  }
  return result;
}

int ExtractPack(const Options& options, const std::vector<std::uint8_t>& archive,
                const fs::path& destination, Console console) {
  std::vector<PackListing> listing;
  if (!ReadListing(archive, listing, console)) return kExitFailed;
  std::map<std::uint32_t, std::size_t> firstWithHash;
  int result = kExitOk;
  std::size_t written = 0;
  for (std::size_t i = 0; i < listing.size(); ++i) {
    const PackListing& item = listing[i];
    fs::path relative;
    if (!KnownName(item) || !SafeRelativePath(item.nameField, relative)) relative = FallbackName(i, item);
    const std::string shown = relative.generic_string();
    if (!firstWithHash.emplace(item.entry.hash, i).second) {
      console.err << shown << ": skipped, the library never reaches it (an earlier entry has its hash)\n";
      continue;
    }
    if (!InsideArchive(archive, item.entry)) {
      console.err << shown << ": its data lies outside the archive\n";
      result = kExitFailed;
      continue;
    }
    const auto stored = std::span(archive).subspan(item.entry.offset, item.entry.size);
    std::vector<std::uint8_t> data(stored.begin(), stored.end());
    std::uint32_t decodedSize = 0;
    if (!options.stored && ReadLzssBlockHead(stored, decodedSize)) {
      data.assign(decodedSize <= LzssMaxDecodedSize(stored.size() - kLzssBlockHeadSize) ? decodedSize : 0, 0);
      if (data.size() != decodedSize || !LzssDecodeBlock(stored, data)) {
        console.err << shown << ": the LZSS block is damaged\n";
        result = kExitFailed;
        continue;
      }
    }
    std::string error;
    if (!WriteWholeFile(destination / relative, data, error)) {
      console.err << error << "\n";
      result = kExitFailed;
      continue;
    }
    ++written;
  }
  console.out << Display(destination) << ": " << written << " of " << listing.size() << " entries extracted\n";
  return result;
}

}  // namespace vela::archive_tool
