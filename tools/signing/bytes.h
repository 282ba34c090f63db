// The byte buffers of the signing library: whole files, blocks and trailers.
#ifndef KT_TOOLS_SIGNING_BYTES_H
#define KT_TOOLS_SIGNING_BYTES_H

#include <cstdint>
#include <vector>

namespace signing {

using Bytes = std::vector<uint8_t>;

}  // namespace signing

#endif
