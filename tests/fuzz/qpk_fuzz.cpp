// The QPK reader over untrusted archives: every entry name found in the data, and a few fixed
// names, loaded as DDS images.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "files/byte_source.h"
#include "files/qpk_format.h"
#include "files/qpk_image.h"

namespace {

void LoadAndCheck(vela::ByteSource& source, std::string_view name) {
  vela::CQPKImage image;
  if (image.Load(source, name) != nullptr) {
    if (image.GetImageData() != nullptr) std::abort();
    return;
  }
  std::uint32_t width = 0, height = 0;
  image.GetSize(width, height);
  if (image.GetImageSize() != std::uint64_t{width} * height * 4 + 128) std::abort();
  volatile std::uint8_t last = image.GetImageData()[image.GetImageSize() - 1];
  (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vela::MemorySource source(std::span(data, size));
  std::vector<std::string> names = {"FACE", "body"};
  if (source.Seek(0) && vela::qpk::ReadArchiveHead(source)) {
    vela::qpk::EntryHead head;
    while (names.size() < 10 && vela::qpk::ReadEntryHead(source, head)) {
      names.emplace_back(head.Name());
      if (!vela::qpk::SkipEntryData(source, head)) break;
    }
  }
  for (const std::string& name : names) LoadAndCheck(source, name);
  return 0;
}
