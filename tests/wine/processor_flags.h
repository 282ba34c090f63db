// The processor's feature flags as the Linux kernel lists them, read apart from crypto/'s own
// detection, so that a detection that the host and the Windows builds share can be checked.
#ifndef KT_TESTS_WINE_PROCESSOR_FLAGS_H
#define KT_TESTS_WINE_PROCESSOR_FLAGS_H

#include <set>
#include <string>

// The words of the first "flags" line of /proc/cpuinfo ("avx2", "sha_ni", ...); empty when
// there is none.
std::set<std::string> ProcessorFlags();

#endif
