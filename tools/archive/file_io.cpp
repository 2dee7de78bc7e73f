#include "tools/archive/file_io.h"

#include <cstdio>
#include <limits>
#include <memory>

namespace vela::archive_tool {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::string Display(const std::filesystem::path& path) { return path.string(); }

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& data, std::string& error) {
  std::error_code code;
  const std::uintmax_t size = std::filesystem::file_size(path, code);
  if (code) {
    error = "cannot read " + Display(path) + ": " + code.message();
    return false;
  }
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    error = Display(path) + " is 4 GiB or larger";
    return false;
  }
  File file(std::fopen(path.string().c_str(), "rb"));
  data.resize(static_cast<std::size_t>(size));
  if (!file || std::fread(data.data(), 1, data.size(), file.get()) != data.size()) {
    error = "cannot read " + Display(path);
    return false;
  }
  return true;
}

bool WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> data, std::string& error) {
  std::error_code code;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), code);
  File file(std::fopen(path.string().c_str(), "wb"));
  const bool written = file && std::fwrite(data.data(), 1, data.size(), file.get()) == data.size() &&
                       std::fclose(file.release()) == 0;
  if (!written) error = "cannot write " + Display(path);
  return written;
}

bool SafeRelativePath(std::string_view name, std::filesystem::path& path) {
  path.clear();
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view segment = name.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == ".." ||
        segment.find_first_of(std::string_view(":\0", 2)) != std::string_view::npos) {
      return false;
    }
    path /= std::string(segment);
    start = end + 1;
  }
  return !path.empty();
}

}  // namespace vela::archive_tool
