#include "render/x_tokens.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "render/x_file.h"

namespace lumi {

namespace {

constexpr size_t kXHeaderSize = 16;
constexpr size_t kMszipWindow = 32768;

// Binary token numbers.
enum : uint16_t {
  kTokenName = 1,
  kTokenString = 2,
  kTokenInteger = 3,
  kTokenGuid = 5,
  kTokenIntegerList = 6,
  kTokenFloatList = 7,
  kTokenOpenBrace = 10,
  kTokenCloseBrace = 11,
  kTokenComma = 19,
  kTokenSemicolon = 20,
  kTokenTemplate = 31,
};

uint16_t Le16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }
uint32_t Le32(const uint8_t* at) { return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24; }

bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool EndsWord(uint8_t c) {
  return IsSpace(c) || c == '{' || c == '}' || c == ',' || c == ';' || c == '"' || c == '<';
}

}  // namespace

std::vector<uint8_t> InflateMszip(std::span<const uint8_t> blocks, size_t limit) {
  if (blocks.size() < 4) throw XFileError("compressed .x file has no size");
  const uint32_t whole = Le32(blocks.data());
  if (whole < kXHeaderSize || whole - kXHeaderSize > limit) {
    throw XFileError("compressed .x file claims " + std::to_string(whole) + " bytes inflated, more than " +
                     std::to_string(limit));
  }
  const size_t expected = whole - kXHeaderSize;
  std::vector<uint8_t> out;
  out.reserve(std::min(expected, blocks.size() * 16));

  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw XFileError("cannot start inflating the .x file");
  struct End {
    z_stream& stream;
    ~End() { inflateEnd(&stream); }
  } end{stream};

  size_t at = 4;
  while (at < blocks.size() && out.size() < expected) {
    if (blocks.size() - at < 6) throw XFileError("compressed .x file ends inside a block header");
    const size_t inflatedSize = Le16(&blocks[at]);
    const size_t storedSize = Le16(&blocks[at + 2]);
    at += 4;
    if (storedSize < 2 || blocks[at] != 'C' || blocks[at + 1] != 'K') {
      throw XFileError("compressed .x file block lacks its \"CK\" mark");
    }
    if (storedSize > blocks.size() - at) throw XFileError("compressed .x file is truncated inside a block");
    if (out.size() + inflatedSize > expected) throw XFileError("compressed .x file inflates past its stated size");

    const size_t before = out.size();
    out.resize(before + inflatedSize);
    inflateReset(&stream);
    if (before > 0) {
      const size_t window = std::min(before, kMszipWindow);
      inflateSetDictionary(&stream, out.data() + before - window, static_cast<uInt>(window));
    }
    stream.next_in = const_cast<Bytef*>(&blocks[at + 2]);
    stream.avail_in = static_cast<uInt>(storedSize - 2);
    stream.next_out = out.data() + before;
    stream.avail_out = static_cast<uInt>(inflatedSize);
    const int result = inflate(&stream, Z_FINISH);
    if ((result != Z_STREAM_END && result != Z_BUF_ERROR && result != Z_OK) || stream.avail_out != 0) {
      throw XFileError("compressed .x file has a broken block at byte " + std::to_string(at + kXHeaderSize - 4));
    }
    at += storedSize;
  }
  if (out.size() != expected) throw XFileError("compressed .x file inflates to fewer bytes than it states");
  return out;
}

XTokenStream::XTokenStream(std::span<const uint8_t> file) {
  if (file.size() < kXHeaderSize || std::memcmp(file.data(), "xof ", 4) != 0) {
    throw XFileError("not a .x file (no \"xof \" header)");
  }
  const std::string format(reinterpret_cast<const char*>(&file[8]), 4);
  const std::string floatSize(reinterpret_cast<const char*>(&file[12]), 4);
  if (floatSize != "0032" && floatSize != "0064") throw XFileError(".x file has an unknown float size");
  double_floats_ = floatSize == "0064";
  body_ = file.subspan(kXHeaderSize);
  if (format == "tzip" || format == "bzip") {
    inflated_ = InflateMszip(body_, kMaxXFileInflatedBytes);
    body_ = inflated_;
  } else if (format != "txt " && format != "bin ") {
    throw XFileError(".x file has an unknown format");
  }
  binary_ = format == "bin " || format == "bzip";
}

void XTokenStream::Need(size_t count) const {
  if (body_.size() - position_ < count) throw XFileError(".x file is truncated");
}

uint16_t XTokenStream::ReadWord() {
  Need(2);
  position_ += 2;
  return Le16(&body_[position_ - 2]);
}

uint32_t XTokenStream::ReadDword() {
  Need(4);
  position_ += 4;
  return Le32(&body_[position_ - 4]);
}

XToken XTokenStream::Next() { return binary_ ? NextBinary() : NextText(); }

XToken XTokenStream::NextText() {
  const size_t size = body_.size();
  auto& at = position_;
  for (;;) {
    while (at < size && (IsSpace(body_[at]) || body_[at] == ',' || body_[at] == ';')) ++at;
    if (at < size && (body_[at] == '#' || (body_[at] == '/' && at + 1 < size && body_[at + 1] == '/'))) {
      while (at < size && body_[at] != '\n') ++at;
      continue;
    }
    break;
  }
  if (at == size) return {};
  const char* text = reinterpret_cast<const char*>(body_.data());
  const uint8_t c = body_[at];
  if (c == '{') return ++at, XToken{XToken::Kind::Open};
  if (c == '}') return ++at, XToken{XToken::Kind::Close};
  if (c == '<') {
    const size_t close = std::find(body_.begin() + at, body_.end(), '>') - body_.begin();
    if (close == size) throw XFileError(".x file has an unclosed GUID");
    at = close + 1;
    return {XToken::Kind::Guid};
  }
  if (c == '"') {
    const size_t close = std::find(body_.begin() + at + 1, body_.end(), '"') - body_.begin();
    if (close == size) throw XFileError(".x file has an unclosed string");
    XToken token{XToken::Kind::String, std::string(text + at + 1, close - at - 1)};
    at = close + 1;
    return token;
  }
  const size_t start = at;
  while (at < size && !EndsWord(body_[at])) ++at;
  const std::string_view word(text + start, at - start);
  // A word that is not wholly a number is a name (names may start with a digit).
  if (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9')) {
    double value = 0;
    const auto [end, ec] = std::from_chars(word.data() + (c == '+' ? 1 : 0), word.data() + word.size(), value);
    if (ec == std::errc() && end == word.data() + word.size()) return {XToken::Kind::Number, {}, value};
  }
  return {XToken::Kind::Name, std::string(word)};
}

XToken XTokenStream::NextBinary() {
  if (list_left_ > 0) {
    --list_left_;
    if (!list_is_float_) return {XToken::Kind::Number, {}, double(ReadDword())};
    if (double_floats_) {
      Need(8);
      double value;
      std::memcpy(&value, &body_[position_], 8);
      position_ += 8;
      return {XToken::Kind::Number, {}, value};
    }
    Need(4);
    float value;
    std::memcpy(&value, &body_[position_], 4);
    position_ += 4;
    return {XToken::Kind::Number, {}, value};
  }
  for (;;) {
    if (position_ == body_.size()) return {};
    const uint16_t token = ReadWord();
    switch (token) {
      case kTokenName:
      case kTokenString: {
        const uint32_t length = ReadDword();
        Need(length);
        XToken result{token == kTokenName ? XToken::Kind::Name : XToken::Kind::String,
                      std::string(reinterpret_cast<const char*>(&body_[position_]), length)};
        position_ += length;
        return result;
      }
      case kTokenInteger:
        return {XToken::Kind::Number, {}, double(ReadDword())};
      case kTokenGuid:
        Need(16);
        position_ += 16;
        return {XToken::Kind::Guid};
      case kTokenIntegerList:
      case kTokenFloatList: {
        const uint32_t count = ReadDword();
        list_is_float_ = token == kTokenFloatList;
        const size_t itemSize = list_is_float_ && double_floats_ ? 8 : 4;
        if (count > Remaining() / itemSize) throw XFileError(".x file has a number list longer than the file");
        if (count == 0) continue;
        list_left_ = count;
        return NextBinary();
      }
      case kTokenOpenBrace:
        return {XToken::Kind::Open};
      case kTokenCloseBrace:
        return {XToken::Kind::Close};
      case kTokenComma:
      case kTokenSemicolon:
        continue;
      case kTokenTemplate:
        return {XToken::Kind::Name, "template"};
      default:
        // Brackets, dots and the type keywords of templates carry no data.
        if ((token >= 12 && token <= 18) || (token >= 40 && token <= 53)) return {XToken::Kind::Name, "?"};
        throw XFileError(".x file has an unknown binary token " + std::to_string(token));
    }
  }
}

}  // namespace lumi
