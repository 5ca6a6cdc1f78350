// The token level of .x files: the 16-byte header, MSZIP inflation, and one
// token stream over text and binary bodies, so the object grammar above it
// is written once. Separators (commas, semicolons) never reach the grammar;
// a binary number list comes out one number at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumi {

// Thrown for any fault in a .x file; ReadXFile turns it into its error text.
struct XFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct XToken {
  enum class Kind { End, Name, String, Open, Close, Guid, Number };
  Kind kind = Kind::End;
  std::string text;   // Name and String
  double number = 0;  // Number
};

class XTokenStream {
 public:
  // Reads the header; inflates a compressed body into the stream's own
  // buffer. The bytes must outlive the stream.
  explicit XTokenStream(std::span<const uint8_t> file);

  XToken Next();
  // How many body bytes are left: no count of items can exceed this.
  size_t Remaining() const { return body_.size() - position_; }

 private:
  XToken NextText();
  XToken NextBinary();
  uint16_t ReadWord();
  uint32_t ReadDword();
  void Need(size_t count) const;

  std::vector<uint8_t> inflated_;
  std::span<const uint8_t> body_;
  size_t position_ = 0;
  bool binary_ = false;
  bool double_floats_ = false;
  // The rest of the binary number list being handed out.
  uint32_t list_left_ = 0;
  bool list_is_float_ = false;
};

// MSZIP blocks after a compressed file's header: a 32-bit size of the whole
// inflated file (header included), then blocks of a 16-bit inflated size, a
// 16-bit stored size and "CK" with raw deflate data, each block using the
// one before as its dictionary. Returns the inflated body.
std::vector<uint8_t> InflateMszip(std::span<const uint8_t> blocks, size_t limit);

}  // namespace lumi
