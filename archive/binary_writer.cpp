#include "archive/binary_writer.h"

#include <limits>
#include <stdexcept>
#include <string>

#include "archive/input_error.h"

namespace lumi {

void BinaryWriter::Int(const char*, int32_t& v) { sink_.Write(v); }
void BinaryWriter::UInt(const char*, uint32_t& v) { sink_.Write(v); }
void BinaryWriter::Float(const char*, float& v) { sink_.Write(v); }
void BinaryWriter::Bool(const char*, bool& v) { sink_.Write(static_cast<uint8_t>(v ? 1 : 0)); }
void BinaryWriter::Byte(const char*, uint8_t& v) { sink_.Write(v); }
void BinaryWriter::Int64(const char*, int64_t& v) { sink_.Write(v); }

void BinaryWriter::WriteString(std::u16string_view text) {
  static constexpr uint8_t kMarker[] = {0xFF, 0xFE, 0xFF};
  sink_.Append(kMarker);
  const size_t n = text.size();
  if (n < 0xFF) {
    sink_.Write(static_cast<uint8_t>(n));
  } else if (n < 0xFFFF) {
    sink_.Write(uint8_t{0xFF});
    sink_.Write(static_cast<uint16_t>(n));
  } else {
    if (n > std::numeric_limits<uint32_t>::max()) throw InputError("string too long to store");
    sink_.Write(uint8_t{0xFF});
    sink_.Write(uint16_t{0xFFFF});
    sink_.Write(static_cast<uint32_t>(n));
  }
  for (char16_t unit : text) sink_.Write(static_cast<uint16_t>(unit));
}

void BinaryWriter::WString(const char*, std::u16string& v) { WriteString(v); }

void BinaryWriter::Guid(const char*, GUID& v) { WriteString(FormatGuid(v)); }

void BinaryWriter::MemBlob(const char* field, DS_MemBlob& v) {
  if (v.bytes.size() > std::numeric_limits<uint32_t>::max()) {
    throw InputError(std::string("block too large to store: ") + (field ? field : "blob"));
  }
  sink_.Write(static_cast<uint32_t>(v.bytes.size()));
  sink_.Append(v.bytes);
  WriteString(v.name);
}

void BinaryWriter::ResBlob(const char* field, DS_ResBlob& v) {
  sink_.Write(v.id);
  WriteString(v.module);
  MemBlob(field, v.blob);
}

void BinaryWriter::WriteCount(const char* field, size_t count) {
  if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw InputError(std::string("too many entries to store in ") + (field ? field : "list"));
  }
  sink_.Write(static_cast<int32_t>(count));
}

void BinaryWriter::Bytes(const char* field, std::vector<uint8_t>& v) {
  WriteCount(field, v.size());
  sink_.Append(v);
}

void BinaryWriter::KeptBytes(const char*, std::vector<uint8_t>& v) { sink_.Append(v); }

void BinaryWriter::List(const char* field, size_t& count, FunctionRef<void(size_t)> element) {
  WriteCount(field, count);
  for (size_t i = 0; i < count; ++i) element(i);
}

void BinaryWriter::Record(const char*, std::string_view class_name, int current_version, const void*,
                          FunctionRef<void()> fields) {
  WriteString(std::u16string(class_name.begin(), class_name.end()));
  sink_.Write(static_cast<int32_t>(current_version));
  versions_.push_back(current_version);
  classes_.push_back(class_name);
  fields();
  classes_.pop_back();
  versions_.pop_back();
}

void BinaryWriter::Group(const char*, FunctionRef<void()> fields) { fields(); }

void BinaryWriter::VersionedFields(const char*, int current_version, const void*, FunctionRef<void()> fields) {
  sink_.Write(static_cast<int32_t>(current_version));
  versions_.push_back(current_version);
  fields();
  versions_.pop_back();
}

std::unique_ptr<DS_IOF_Item> BinaryWriter::Object(const char* field, DS_IOF_Item* existing, Family,
                                                  FunctionRef<bool(const DS_IOF_Item&)>) {
  if (existing == nullptr) throw InputError(std::string("missing object: ") + (field ? field : "list entry"));
  Record(field, existing->ClassName(), existing->CurrentVersion(), existing, [&] { existing->Describe(*this); });
  return nullptr;
}

void BinaryWriter::Reject(const char* field, const std::string& problem) {
  const std::string where = classes_.empty() ? std::string("document") : std::string(classes_.back()) + " record";
  throw InputError(where + (field ? std::string(" field ") + field : std::string()) + ": " + problem);
}

}  // namespace lumi
