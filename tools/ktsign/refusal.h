// A run that ktsign refuses for a reason of its own: the message says what to do instead.
#ifndef KT_TOOLS_KTSIGN_REFUSAL_H
#define KT_TOOLS_KTSIGN_REFUSAL_H

#include <stdexcept>

namespace ktsign {

class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ktsign

#endif
