// Describes objects as JSON for inspection: every record with its class and
// the version it was stored in, its fields by name, its base record under
// "base"; blobs as byte count, SHA-256 and name, and, when extracting, the
// file they were written to.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "archive/archive.h"
#include "archive/version_log.h"

namespace lumi {

struct BlobExtraction {
  std::filesystem::path directory;  // where blob files are written, as the user gave it
  // The folder of the JSON file, which then names blob files relative to
  // itself; without one (JSON on standard output) files are named as
  // `directory` was given.
  std::optional<std::filesystem::path> relative_to;
};

class JsonWriter final : public Archive {
 public:
  JsonWriter(nlohmann::ordered_json& root, const VersionLog* versions, std::optional<BlobExtraction> extraction);

  bool IsReading() const override { return false; }
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
  [[noreturn]] void Reject(const char* field, const std::string& problem) override;

 private:
  // The node a value goes to. A record that names one field twice would
  // make JSON that cannot stand for it, so that is refused.
  nlohmann::ordered_json& Target(const char* field);
  std::string Where() const;
  void DescribeBytes(nlohmann::ordered_json& node, std::span<const uint8_t> bytes, std::u16string_view name_hint);

  std::vector<nlohmann::ordered_json*> stack_;
  std::vector<int> versions_;
  std::vector<std::string_view> classes_;  // the records being described, for messages
  const VersionLog* stored_versions_;
  std::optional<BlobExtraction> extraction_;
};

// The JSON form of a UTF-16 string: a plain string when it is valid UTF-16,
// otherwise {"utf16": [code units]} so that nothing is lost.
nlohmann::ordered_json StringToJson(std::u16string_view text);

}  // namespace lumi
