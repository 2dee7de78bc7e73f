#include <iostream>
#include <string>
#include <vector>

#include "tools/archive/archive_tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return vela::archive_tool::Run(arguments, std::cout, std::cerr);
}
