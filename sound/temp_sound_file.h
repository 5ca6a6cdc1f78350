// A sound file written from a document's bytes for a decoder to read: a new
// file in the process's private temporary directory, removed with this
// object. Only a cleaned extension of the stored name is kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace lumi {

class TempSoundFile {
 public:
  // Nothing with `error` set when it could not be written.
  static std::unique_ptr<TempSoundFile> Write(std::span<const uint8_t> bytes, std::u16string_view stored_name,
                                              std::string& error);
  ~TempSoundFile();
  TempSoundFile(const TempSoundFile&) = delete;
  TempSoundFile& operator=(const TempSoundFile&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  explicit TempSoundFile(std::filesystem::path path) : path_(std::move(path)) {}
  std::filesystem::path path_;
};

// ".mp3" for "C:\\Music\\Song.MP3": a dot and 1 to 8 letters or digits from
// the last dot of the last part of the name (after a slash or backslash), in
// lower case; "" when the name has no such extension.
std::string CleanExtension(std::u16string_view stored_name);

// A stored path as a path of this system, for playing a file from disk.
std::filesystem::path StoredPath(std::u16string_view stored_name);

}  // namespace lumi
