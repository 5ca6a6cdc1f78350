#include "sound/temp_sound_file.h"

#include "archive/utf.h"
#include "platform/temp_files.h"

namespace lumi {

std::unique_ptr<TempSoundFile> TempSoundFile::Write(std::span<const uint8_t> bytes, std::u16string_view stored_name,
                                                    std::string& error) {
  std::optional<std::filesystem::path> path = WritePrivateTempFile(bytes, CleanExtension(stored_name), error);
  if (!path) return nullptr;
  return std::unique_ptr<TempSoundFile>(new TempSoundFile(std::move(*path)));
}

TempSoundFile::~TempSoundFile() { RemovePrivateTempFile(path_); }

std::string CleanExtension(std::u16string_view stored_name) {
  const size_t slash = stored_name.find_last_of(u"\\/");
  const std::u16string_view last = slash == std::u16string_view::npos ? stored_name : stored_name.substr(slash + 1);
  const size_t dot = last.rfind(u'.');
  if (dot == std::u16string_view::npos) return "";
  const std::u16string_view letters = last.substr(dot + 1);
  if (letters.empty() || letters.size() > 8) return "";
  std::string extension = ".";
  for (char16_t c : letters) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))) return "";
    extension += static_cast<char>(c);
  }
  return extension;
}

std::filesystem::path StoredPath(std::u16string_view stored_name) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(stored_name.begin(), stored_name.end()));
#else
  return std::filesystem::path(ToUtf8(stored_name));
#endif
}

}  // namespace lumi
