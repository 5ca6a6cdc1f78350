// Writes records in their current versions, in the encodings the reader
// expects: the inverse of BinaryReader for every document it accepts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archive/archive.h"
#include "archive/byte_sink.h"

namespace lumi {

class BinaryWriter final : public Archive {
 public:
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
  void KeptBytes(const char* field, std::vector<uint8_t>& v) override;
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

  // The string encoding on its own (the document signature uses it).
  void WriteString(std::u16string_view text);
  std::vector<uint8_t> Release() { return sink_.Release(); }

 private:
  void WriteCount(const char* field, size_t count);

  ByteSink sink_;
  std::vector<int> versions_;
  std::vector<std::string_view> classes_;  // the records being written, for Reject
};

}  // namespace lumi
