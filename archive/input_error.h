// The one error type for bad input: a truncated or hostile document, a
// broken executable, a malformed JSON scene. Its text names what was wrong
// and where, and is what the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace lumi {

class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lumi
