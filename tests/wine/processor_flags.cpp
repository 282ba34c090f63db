// The kernel lists only the features that it lets programs use: with the vector registers'
// state not saved on a task switch, it drops AVX and AVX2 from the list.
#include "tests/wine/processor_flags.h"

#include <fstream>
#include <iterator>
#include <sstream>

std::set<std::string> ProcessorFlags() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    const size_t colon = line.find(':');
    if (line.compare(0, 5, "flags") == 0 && colon != std::string::npos) {
      std::istringstream words(line.substr(colon + 1));
      return std::set<std::string>(std::istream_iterator<std::string>(words),
                                   std::istream_iterator<std::string>());
    }
  }
  return {};
}
