// Builds objects from the JSON that JsonWriter produces (pack). Records are
// read in their current layout; blobs come from the files they name,
// relative to the JSON file. A bad value fails with its JSON path.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "archive/archive.h"

namespace lumi {

class JsonReader final : public Archive {
 public:
  JsonReader(const nlohmann::ordered_json& root, std::filesystem::path base_directory);

  bool IsReading() const override { return true; }
  int version() const override { return versions_.empty() ? 0 : versions_.back(); }

  void Int(const char* field, int32_t& v) override;
  void UInt(const char* field, uint32_t& v) override;
  void Float(const char* field, float& v) override;
  void Bool(const char* field, bool& v) override;
  void Byte(const char* field, uint8_t& v) override;
  void Int64(const char* field, int64_t& v) override;
  void WString(const char* field, std::u16string& v) override;
  void Guid(const char* field, GUID& v) override;
  void MemBlob(const char* field, DS_MemBlob& v) override;
  void ResBlob(const char* field, DS_ResBlob& v) override;
  void Bytes(const char* field, std::vector<uint8_t>& v) override;
  void KeptBytes(const char* field, std::vector<uint8_t>& v) override { Bytes(field, v); }
  void UnsettledFields(UnreadFields& unread, std::string_view base_class, FunctionRef<void()> own_fields) override;
  void Derived(const char* field, double value) override;
  void List(const char* field, size_t& count, FunctionRef<void(size_t)> element) override;
  void Record(const char* field, std::string_view class_name, int current_version, const void* self,
              FunctionRef<void()> fields) override;
  void Group(const char* field, FunctionRef<void()> fields) override;
  void VersionedFields(const char* field, int current_version, const void* self,
                       FunctionRef<void()> fields) override;
  using Archive::Object;
  std::unique_ptr<DS_IOF_Item> Object(const char* field, DS_IOF_Item* existing, Family family,
                                      FunctionRef<bool(const DS_IOF_Item&)> fits) override;
  [[noreturn]] void Reject(const char* field, const std::string& problem) override { Fail(PathOf(field), problem); }

  // Reads the fields of an object node the caller frames itself (the root).
  void ReadObjectFields(const char* field, int version, FunctionRef<void()> fields);

 private:
  struct Frame {
    const nlohmann::ordered_json* node;
    std::string path;
    std::set<std::string> used;
  };

  [[noreturn]] void Fail(const std::string& path, const std::string& problem) const;
  std::string PathOf(const char* field) const;
  const nlohmann::ordered_json& Value(const char* field);
  template <class T>
  T Integer(const char* field, const char* kind);
  std::u16string String(const nlohmann::ordered_json& value, const std::string& path) const;
  std::filesystem::path Locate(const std::filesystem::path& name) const;
  std::vector<uint8_t> FileBytes(const nlohmann::ordered_json& node, const std::string& path);
  void Enter(const nlohmann::ordered_json& node, std::string path, int version, FunctionRef<void()> fields);

  std::vector<Frame> stack_;
  std::vector<int> versions_;
  std::filesystem::path base_directory_;
};

}  // namespace lumi
