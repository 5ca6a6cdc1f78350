// Reads records from a document's bytes. Every read is bounded by the bytes
// that remain; a document that runs short, asks for more than it holds or
// names an unregistered class fails the whole load with an InputError that
// names the record, the field and the byte offset.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/byte_source.h"
#include "archive/version_log.h"

namespace lumi {

class BinaryReader final : public Archive {
 public:
  explicit BinaryReader(std::span<const uint8_t> bytes, VersionLog* versions = nullptr);

  bool IsReading() const override { return true; }
  int version() const override { return frames_.empty() ? 0 : frames_.back().version; }

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
  void List(const char* field, size_t& count, FunctionRef<void(size_t)> element) override;
  void Record(const char* field, std::string_view class_name, int current_version, const void* self,
              FunctionRef<void()> fields) override;
  void Group(const char* field, FunctionRef<void()> fields) override;
  void VersionedFields(const char* field, int current_version, const void* self,
                       FunctionRef<void()> fields) override;
  using Archive::Object;
  std::unique_ptr<DS_IOF_Item> Object(const char* field, DS_IOF_Item* existing, Family family,
                                      FunctionRef<bool(const DS_IOF_Item&)> fits) override;
  [[noreturn]] void Reject(const char* field, const std::string& problem) override { Fail(field, problem); }

  size_t offset() const { return source_.offset(); }
  size_t remaining() const { return source_.remaining(); }

 private:
  // The record being read. Names point at static class names, so entering
  // a record allocates nothing.
  struct Frame {
    std::string_view class_name;
    const char* block;  // set for a versioned block inside the record
    int version;
    size_t groups = 0;  // groups_ entries open when the record began
  };

  [[noreturn]] void Fail(const char* field, const std::string& problem) const;
  std::span<const uint8_t> Take(const char* field, size_t n);
  template <class T>
  T ReadValue(const char* field);
  uint32_t ReadStringLength(const char* field);
  void ReadFields(Frame frame, int current_version, const void* self, FunctionRef<void()> fields);
  std::string Where() const;

  ByteSource source_;
  VersionLog* versions_;
  std::vector<Frame> frames_;
  std::vector<const char*> groups_;  // named groups being read, for messages
};

}  // namespace lumi
