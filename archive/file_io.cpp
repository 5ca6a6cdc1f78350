#include "archive/file_io.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "archive/input_error.h"

namespace lumi {
namespace {

std::string Reason() { return errno != 0 ? std::strerror(errno) : "unknown error"; }

std::ifstream OpenForReading(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw InputError(path.string() + ": is a directory, not a file");
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(path.string() + ": cannot open the file (" + Reason() + ")");
  return in;
}

}  // namespace

std::vector<uint8_t> ReadFileStart(const std::filesystem::path& path, size_t count) {
  std::ifstream in = OpenForReading(path);
  std::vector<uint8_t> bytes(count);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  if (in.bad()) throw InputError(path.string() + ": cannot read (" + Reason() + ")");
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path, uint64_t limit) {
  std::ifstream in = OpenForReading(path);
  std::vector<uint8_t> bytes;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size > 0 && static_cast<uint64_t>(size) > limit) {
    throw InputError(path.string() + ": the file holds " + std::to_string(size) + " bytes, more than the " +
                     std::to_string(limit) + " accepted");
  }
  if (size > 0) {
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
  }
  if (!in) throw InputError(path.string() + ": cannot read (" + Reason() + ")");
  return bytes;
}

void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  // Written beside the target and renamed over it, so a failed write never
  // leaves a half-written file in place of a good one.
  std::filesystem::path temporary = path;
  temporary += ".partial";
  errno = 0;
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) out.close();
  if (!out) {
    const std::string reason = Reason();
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw InputError(path.string() + ": cannot write (" + reason + ")");
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    const std::string reason = ec.message();
    std::filesystem::remove(temporary, ec);
    throw InputError(path.string() + ": cannot write (" + reason + ")");
  }
}

}  // namespace lumi
