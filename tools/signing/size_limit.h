// Every length and offset in the signature formats is a 32-bit count, so a signable file and
// its signed form stay below 4 GiB.
#ifndef KT_TOOLS_SIGNING_SIZE_LIMIT_H
#define KT_TOOLS_SIGNING_SIZE_LIMIT_H

#include <cstdint>

namespace signing {

constexpr uint64_t kFileSizeLimit = uint64_t{1} << 32;  // exclusive

}  // namespace signing

#endif
