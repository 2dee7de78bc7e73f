// PACK directory lookups over untrusted archives.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "files/byte_source.h"
#include "files/pack_archive.h"

namespace {

// Reads the entry's last byte from the archive, so a bad bound shows up as an overflow.
int Touch(const std::uint8_t* data, std::size_t size, const vela::PackEntry& entry) {
  if (std::uint64_t{entry.offset} + entry.size > size) std::abort();
  return entry.size == 0 ? 0 : data[entry.offset + entry.size - 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vela::MemorySource source(std::span(data, size));
  vela::PackEntry entry;
  volatile int sink = 0;
  for (const char* name : {"readme.txt", "data/Img.png", "IMG\\NOTES.TXT"}) {
    if (vela::FindPackEntry(source, name, entry)) sink = sink + Touch(data, size, entry);
  }
  std::vector<vela::PackListing> listing;
  if (vela::ReadPackDirectory(source, listing)) {
    for (const vela::PackListing& item : listing) {
      if (vela::FindPackEntry(source, item.nameField, entry)) sink = sink + Touch(data, size, entry);
      if (vela::FindPackEntryByHash(source, item.entry.hash, entry)) sink = sink + Touch(data, size, entry);
    }
  }
  return 0;
}
