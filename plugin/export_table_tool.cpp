// The export table on the build machine:
//
//   export_table_tool def FILE.def   writes the module definition the DLL is linked with: every
//                                    export by undecorated name, aliases as NAME=FUNCTION, in
//                                    the table's order
//
// Plain C++ with no project library, compiled with the build machine's compiler.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "plugin/export_shapes.h"

namespace {

using vela::plugin::ExportShape;
using vela::plugin::kExportShapes;

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

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc == 3 ? argv[1] : "";
  if (command == "def") return WriteDefinitions(argv[2]);
  std::cerr << "usage: export_table_tool def FILE.def\n";
  return 2;
}
