// File links: parameters whose value names a picture, mesh or effect program
// by a resource key. A link never holds bytes; the document's resource
// table turns keys into device objects.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/blobs.h"
#include "params/media_param.h"
#include "params/typed_param.h"

namespace lumi {

// A file's path with its modification time, or a resource module's file
// name with a resource id. Ordered by name, then number.
struct ResourceKey {
  std::u16string name;
  int64_t number = 0;

  // From the last dot, in lower case ("" without a dot).
  std::u16string Extension() const;
  // After the last backslash ("" without one).
  std::u16string FileName() const;
  // No file and no resource: nothing linked.
  bool IsEmpty() const { return name.empty() && number == 0; }

  friend bool operator==(const ResourceKey&, const ResourceKey&) = default;
  friend std::strong_ordering operator<=>(const ResourceKey&, const ResourceKey&) = default;
};

// Path and number, stored without notification.
void KeyFields(Archive& ar, ResourceKey& key);

class DS_FileLink3 : public MediaParam {
 public:
  DS_FileLink3() = default;
  explicit DS_FileLink3(ResourceKey k) : key(std::move(k)) {}
  // A link to resource `id` of `module`, the id sign-extended.
  static ResourceKey ModuleKey(std::u16string_view module, int32_t id) {
    return {std::u16string(module), static_cast<int64_t>(id)};
  }
  // A link to a file as it is now: its path and its modification time in
  // seconds since 1970 (0 when the file cannot be examined).
  static ResourceKey PathKey(std::u16string_view path);
  // A blob from a module names its resource; an anonymous blob gets a key
  // of its own that no other blob shares.
  static ResourceKey BlobKey(const DS_ResBlob& blob);

  ResourceKey key;
};

// A link to resource `id` of the shared resource module.
inline ResourceKey CommonResource(int32_t id) { return DS_FileLink3::ModuleKey(u"common_res.dll", id); }

class DS_ImageFileLink : public DS_FileLink3 {
 public:
  // The picture a module's image links name when nothing else is chosen.
  static constexpr int32_t kDefaultImageId = 62;

  using DS_FileLink3::DS_FileLink3;
  static ResourceKey DefaultKey(std::u16string_view module) { return ModuleKey(module, kDefaultImageId); }
};

class DS_MeshFile : public DS_FileLink3 {
 public:
  using DS_FileLink3::DS_FileLink3;
};

class DS_HLSLEffectFile : public DS_FileLink3 {
 public:
  using DS_FileLink3::DS_FileLink3;
};

// A link stored as its key, shown in JSON as {"path", "number"}.
inline void LinkField(Archive& ar, const char* field, DS_FileLink3& link) {
  ar.Group(field, [&] { KeyFields(ar, link.key); });
}

// A set of pictures with a display name, and the key that names the set.
struct DS_NamedFileLinkData {
  std::u16string name;
  std::vector<DS_ImageFileLink> images;
  // What the stored form holds: 0 neither values nor key, 1 the values, 2
  // or more the values and a key of its own. Kept as read, so a document
  // writes back as it came.
  uint32_t selector = 1;
  uint32_t first_value = 0;
  uint32_t second_value = 0;
  ResourceKey key;

  friend bool operator==(const DS_NamedFileLinkData& a, const DS_NamedFileLinkData& b);
};

class DS_NamedFileLink : public MediaParamT<DS_NamedFileLinkData> {
 public:
  using MediaParamT<DS_NamedFileLinkData>::MediaParamT;
};

// The name, the image links, a selector and what it selects: the two
// values unless it is 0, the key of the first image link when it is 0 or 1,
// and a key of its own otherwise. Stored without notification. Writing keeps
// the selector unless it would drop values or a key that were set since.
void NamedLinkField(Archive& ar, const char* field, DS_NamedFileLink& link);

}  // namespace lumi
