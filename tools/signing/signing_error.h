// The one error type of the signing library: its message says what was refused and why, in
// words fit for a user of the signing tool.
#ifndef KT_TOOLS_SIGNING_SIGNING_ERROR_H
#define KT_TOOLS_SIGNING_SIGNING_ERROR_H

#include <stdexcept>

namespace signing {

class SigningError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace signing

#endif
