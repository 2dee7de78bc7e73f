// The export table on the build machine:
//
//   export_table_tool def FILE.def          writes the module definition the DLL is linked with:
//                                           every export by undecorated name, aliases as
//                                           NAME=FUNCTION, in the table's order
//   export_table_tool check-readme README   fails unless the README's table of exports, in its
//                                           section "Calling the plug-in from a host", has one
//                                           row per export with the table's "returns" count,
//                                           and says how many exports there are
//
// Plain C++ with no project library, compiled with the build machine's compiler.
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>

#include "plugin/export_shapes.h"

namespace {

using vela::plugin::ExportShape;
using vela::plugin::FindExportShape;
using vela::plugin::kExportShapes;

constexpr std::string_view kReadmeSection = "## Calling the plug-in from a host";
constexpr std::size_t kExportCount = std::size(kExportShapes);

int WriteDefinitions(const char* path) {
  std::ostringstream text;
  text << "LIBRARY velaplugin.dll\nEXPORTS\n";
  for (const ExportShape& shape : kExportShapes) {
    text << "  " << shape.name;
    if (shape.IsAlias()) text << '=' << shape.function;
    text << '\n';
  }
  std::ofstream out(path, std::ios::binary);
  out << text.str();
  if (!out.flush()) {
    std::cerr << "cannot write " << path << '\n';
    return 1;
  }
  return 0;
}

// The lines of the README section that lists the exports, up to the next section.
std::string ReadSection(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string line, section;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind("## ", 0) == 0) inside = line == kReadmeSection;
    if (inside) section += line + '\n';
  }
  return section;
}

// "−1" as the README writes it, with a minus sign, or a plain number.
bool ParseCount(std::string cell, int& count) {
  const std::string minusSign = "\xE2\x88\x92";
  if (cell.rfind(minusSign, 0) == 0) cell.replace(0, minusSign.size(), "-");
  try {
    std::size_t used = 0;
    count = std::stoi(cell, &used);
    return used == cell.size();
  } catch (const std::exception&) {
    return false;
  }
}

int CheckReadme(const char* path) {
  const std::string section = ReadSection(path);
  if (section.empty()) {
    std::cerr << path << ": no section \"" << kReadmeSection << "\"\n";
    return 1;
  }
  int problems = 0;
  auto problem = [&](const std::string& text) {
    std::cerr << path << ": " << text << '\n';
    ++problems;
  };

  // | `Name` | arguments | result | returns |
  static const std::regex row(R"(^\| `(\w+)` \|.*\| *([^|]*?) *\|$)");
  std::map<std::string, int> rows;
  std::istringstream lines(section);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (!std::regex_match(line, match, row)) continue;
    const std::string name = match[1];
    int returns = 0;
    if (!ParseCount(match[2], returns)) {
      problem("the row of " + name + " ends in \"" + std::string(match[2]) + "\", not a byte count");
      continue;
    }
    if (!rows.emplace(name, returns).second) problem(name + " has two rows");
    const ExportShape* shape = FindExportShape(name);
    if (!shape) {
      problem(name + " is not in plugin/export_table.h");
    } else if (shape->returnedBytes != returns) {
      problem(name + " returns " + std::to_string(shape->returnedBytes) + " by the table, " + std::to_string(returns) +
              " by the README");
    }
  }
  for (const ExportShape& shape : kExportShapes) {
    if (!rows.contains(std::string(shape.name))) problem(std::string(shape.name) + " has no row");
  }

  std::smatch count;
  static const std::regex countLine(R"(The (\d+) exports:)");
  if (!std::regex_search(section, count, countLine)) {
    problem("no line \"The N exports:\" before the table");
  } else if (std::stoul(count[1]) != kExportCount) {
    problem("says " + std::string(count[1]) + " exports; the table has " + std::to_string(kExportCount));
  }
  return problems == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc == 3 ? argv[1] : "";
  if (command == "def") return WriteDefinitions(argv[2]);
  if (command == "check-readme") return CheckReadme(argv[2]);
  std::cerr << "usage: export_table_tool def FILE.def | check-readme README.md\n";
  return 2;
}
