// vela-archive: creates and inspects the archives the Vela library reads (PACK, LZSS, QPK).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vela::archive_tool {

// Runs one command line (without the program's name) and answers the exit code: 0 done,
// 1 the input or an output file was bad, 2 the command line was.
int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace vela::archive_tool
