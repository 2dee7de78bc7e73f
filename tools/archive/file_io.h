// Whole-file reads and writes for the archive tool, and the check that keeps extracted names
// inside the destination folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vela::archive_tool {

// Refuses files of 4 GiB or more: no archive format here can hold them.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& data, std::string& error);

// Creates the parent folders as needed and replaces an existing file.
bool WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> data, std::string& error);

// The relative path that an archive's entry name ("SUB\FILE.PNG" or "sub/file.png") stands
// for; false for names that would leave the destination folder or cannot name a file: absolute
// paths, drive letters, "." and ".." segments, empty segments.
bool SafeRelativePath(std::string_view name, std::filesystem::path& path);

// A path as text for messages.
std::string Display(const std::filesystem::path& path);

}  // namespace vela::archive_tool
