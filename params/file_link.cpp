#include "params/file_link.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "archive/utf.h"

namespace lumi {

std::u16string ResourceKey::Extension() const {
  const size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos) return {};
  std::u16string ext = name.substr(dot);
  for (char16_t& c : ext) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return ext;
}

std::u16string ResourceKey::FileName() const {
  const size_t slash = name.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : name.substr(slash + 1);
}

void KeyFields(Archive& ar, ResourceKey& key) {
  ar.WString("path", key.name);
  ar.Int64("number", key.number);
}

ResourceKey DS_FileLink3::PathKey(std::u16string_view path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(std::filesystem::u8path(ToUtf8(path)), ec);
  if (ec) return {std::u16string(path), 0};
  const auto since_1970 = std::chrono::file_clock::to_sys(written).time_since_epoch();
  return {std::u16string(path), std::chrono::duration_cast<std::chrono::seconds>(since_1970).count()};
}

ResourceKey DS_FileLink3::BlobKey(const DS_ResBlob& blob) {
  if (blob.id != 0) return ModuleKey(blob.module, blob.id);
  static std::atomic<int64_t> anonymous{0};
  return {std::u16string(), ++anonymous};
}

bool operator==(const DS_NamedFileLinkData& a, const DS_NamedFileLinkData& b) {
  if (a.images.size() != b.images.size()) return false;
  for (size_t i = 0; i < a.images.size(); ++i) {
    if (a.images[i].key != b.images[i].key) return false;
  }
  return a.name == b.name && a.selector == b.selector && a.first_value == b.first_value &&
         a.second_value == b.second_value && a.key == b.key;
}

namespace {

ResourceKey FirstImageKey(const DS_NamedFileLinkData& data) {
  return data.images.empty() ? ResourceKey{} : data.images.front().key;
}

// The stored selector, raised only as far as `data` needs to be stated in
// full: 1 for values it would drop, 2 for a key other than the first image's.
uint32_t SelectorFor(const DS_NamedFileLinkData& data) {
  uint32_t selector = data.selector;
  if (selector == 0 && (data.first_value != 0 || data.second_value != 0)) selector = 1;
  if (selector <= 1 && data.key != FirstImageKey(data)) selector = 2;
  return selector;
}

}  // namespace

void NamedLinkField(Archive& ar, const char* field, DS_NamedFileLink& link) {
  DS_NamedFileLinkData& data = link.value;
  ar.Group(field, [&] {
    ar.WString("name", data.name);
    ListOf(ar, "images", data.images, [&](DS_ImageFileLink& image) { LinkField(ar, nullptr, image); });
    uint32_t selector = ar.IsReading() ? 0 : SelectorFor(data);
    ar.UInt("selector", selector);
    if (ar.IsReading()) data.selector = selector;
    if (selector != 0) {
      ar.UInt("first_value", data.first_value);
      ar.UInt("second_value", data.second_value);
    }
    if (selector <= 1) {
      // Without image links the key is empty.
      if (ar.IsReading()) data.key = FirstImageKey(data);
    } else {
      ar.Group("key", [&] { KeyFields(ar, data.key); });
    }
  });
}

}  // namespace lumi
