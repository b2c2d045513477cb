// Internal consistency failures: states the code treats as impossible. They
// abandon the conversion; the C boundary answers "native converter panicked".
#pragma once

#include <stdexcept>
#include <string>

namespace quorvix {

class InternalError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

[[noreturn]] inline void internal_failure(const std::string& what) { throw InternalError(what); }

}  // namespace quorvix
