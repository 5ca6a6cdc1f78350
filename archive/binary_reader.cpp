#include "archive/binary_reader.h"

#include "archive/input_error.h"
#include "archive/registry.h"
#include "archive/utf.h"

namespace lumi {
namespace {

// Records nest a few levels deep; far deeper nesting is a hostile document.
constexpr size_t kMaxDepth = 64;

}  // namespace

BinaryReader::BinaryReader(std::span<const uint8_t> bytes, VersionLog* versions)
    : source_(bytes), versions_(versions) {}

std::string BinaryReader::Where() const {
  if (frames_.empty()) return "document";
  const Frame& frame = frames_.back();
  std::string where = std::string(frame.class_name) + " record";
  if (frame.block != nullptr) where += std::string(" ") + frame.block + " entry";
  return where;
}

void BinaryReader::Fail(const char* field, const std::string& problem) const {
  std::string where = Where();
  // Name the field with the groups it sits in, as inspect shows it: image.path.
  std::string name;
  for (size_t i = frames_.empty() ? 0 : frames_.back().groups; i < groups_.size(); ++i) {
    if (groups_[i] != nullptr) name += std::string(groups_[i]) + ".";
  }
  if (field != nullptr) name += field;
  if (!name.empty()) where += " field " + name;
  throw InputError(where + " at offset " + std::to_string(source_.offset()) + ": " + problem);
}

std::span<const uint8_t> BinaryReader::Take(const char* field, size_t n) {
  std::span<const uint8_t> out;
  if (!source_.Take(n, out)) {
    Fail(field, "expected " + std::to_string(n) + " bytes, but only " + std::to_string(source_.remaining()) +
                    " remain");
  }
  return out;
}

template <class T>
T BinaryReader::ReadValue(const char* field) {
  T value{};
  if (!source_.Read(value)) {
    Fail(field, "expected " + std::to_string(sizeof(T)) + " bytes, but only " +
                    std::to_string(source_.remaining()) + " remain");
  }
  return value;
}

void BinaryReader::Int(const char* field, int32_t& v) { v = ReadValue<int32_t>(field); }
void BinaryReader::UInt(const char* field, uint32_t& v) { v = ReadValue<uint32_t>(field); }
void BinaryReader::Float(const char* field, float& v) { v = ReadValue<float>(field); }
void BinaryReader::Bool(const char* field, bool& v) { v = ReadValue<uint8_t>(field) != 0; }
void BinaryReader::Byte(const char* field, uint8_t& v) { v = ReadValue<uint8_t>(field); }
void BinaryReader::Int64(const char* field, int64_t& v) { v = ReadValue<int64_t>(field); }

uint32_t BinaryReader::ReadStringLength(const char* field) {
  const uint8_t short_length = ReadValue<uint8_t>(field);
  if (short_length != 0xFF) return short_length;
  const uint16_t medium_length = ReadValue<uint16_t>(field);
  if (medium_length != 0xFFFF) return medium_length;
  return ReadValue<uint32_t>(field);
}

void BinaryReader::WString(const char* field, std::u16string& v) {
  Take(field, 3);  // marker bytes, not examined
  const uint32_t length = ReadStringLength(field);
  if (length > source_.remaining() / 2) {
    Fail(field, "string of " + std::to_string(length) + " characters runs past the end of the document (" +
                    std::to_string(source_.remaining()) + " bytes remain)");
  }
  if (length == 0) return;
  const std::span<const uint8_t> units = Take(field, size_t{length} * 2);
  v.resize(length);
  for (uint32_t i = 0; i < length; ++i) v[i] = static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8));
}

void BinaryReader::Guid(const char* field, GUID& v) {
  std::u16string text = FormatGuid(v);
  WString(field, text);
  v = ParseGuid(text).value_or(GUID{});
}

void BinaryReader::MemBlob(const char* field, DS_MemBlob& v) {
  const uint32_t count = ReadValue<uint32_t>(field);
  if (count > source_.remaining()) {
    Fail(field, "block of " + std::to_string(count) + " bytes runs past the end of the document (" +
                    std::to_string(source_.remaining()) + " bytes remain)");
  }
  const std::span<const uint8_t> bytes = Take(field, count);
  v.bytes.assign(bytes.begin(), bytes.end());
  WString(field, v.name);
}

void BinaryReader::ResBlob(const char* field, DS_ResBlob& v) {
  Int(field, v.id);
  WString(field, v.module);
  MemBlob(field, v.blob);
}

void BinaryReader::Bytes(const char* field, std::vector<uint8_t>& v) {
  const int32_t count = ReadValue<int32_t>(field);
  if (count < 0 || static_cast<size_t>(count) > source_.remaining()) {
    Fail(field, "byte count " + std::to_string(count) + " does not fit the " +
                    std::to_string(source_.remaining()) + " bytes that remain");
  }
  const std::span<const uint8_t> bytes = Take(field, static_cast<size_t>(count));
  v.assign(bytes.begin(), bytes.end());
}

void BinaryReader::List(const char* field, size_t& count, FunctionRef<void(size_t)> element) {
  const int32_t stored = ReadValue<int32_t>(field);
  // Every element takes at least one byte, so a count beyond what remains
  // can only be a damaged document; refusing it early also bounds the work.
  if (stored < 0 || static_cast<size_t>(stored) > source_.remaining()) {
    Fail(field, "list of " + std::to_string(stored) + " entries cannot fit in the " +
                    std::to_string(source_.remaining()) + " bytes that remain");
  }
  count = static_cast<size_t>(stored);
  for (size_t i = 0; i < count; ++i) element(i);
}

void BinaryReader::ReadFields(Frame frame, int current_version, const void* self, FunctionRef<void()> fields) {
  if (frames_.size() >= kMaxDepth) Fail(nullptr, "records nested more than " + std::to_string(kMaxDepth) + " deep");
  // Only versions that differ from today's are worth remembering.
  if (versions_ != nullptr && frame.version != current_version) {
    versions_->Note(self, frame.block == nullptr ? frame.class_name : std::string_view(), frame.version);
  }
  frame.groups = groups_.size();
  frames_.push_back(frame);
  fields();
  frames_.pop_back();
}

void BinaryReader::Record(const char* field, std::string_view class_name, int current_version, const void* self,
                          FunctionRef<void()> fields) {
  std::u16string stored_name;
  WString(field, stored_name);  // a fixed class's record name is not compared
  int32_t version = 0;
  Int(field, version);
  ReadFields({class_name, nullptr, version}, current_version, self, fields);
}

void BinaryReader::Group(const char* field, FunctionRef<void()> fields) {
  groups_.push_back(field);
  fields();
  groups_.pop_back();
}

void BinaryReader::VersionedFields(const char* field, int current_version, const void* self,
                                   FunctionRef<void()> fields) {
  int32_t version = 0;
  Long(field, version);
  const std::string_view owner = frames_.empty() ? std::string_view("document") : frames_.back().class_name;
  ReadFields({owner, field ? field : "list", version}, current_version, self, fields);
}

std::unique_ptr<DS_IOF_Item> BinaryReader::Object(const char* field, DS_IOF_Item* /*existing*/, Family family,
                                                  FunctionRef<bool(const DS_IOF_Item&)> fits) {
  const size_t offset = source_.offset();
  std::u16string stored_name;
  WString(field, stored_name);
  int32_t version = 0;
  Int(field, version);
  const std::string name = ToUtf8(stored_name);
  const std::string place = " at offset " + std::to_string(offset) + " (a " + std::string(FamilyName(family)) +
                            " record" +
                            (frames_.empty() ? std::string() : " in " + std::string(frames_.back().class_name)) + ")";
  const ClassRegistry::Entry* entry = ClassRegistry::Get(family).Find(name);
  if (entry == nullptr) throw InputError("unknown class " + name + place);
  std::unique_ptr<DS_IOF_Item> object = entry->create();
  if (!fits(*object)) throw InputError("wrong class " + name + place + ": not the kind of object stored there");
  ReadFields({object->ClassName(), nullptr, version}, object->CurrentVersion(), object.get(),
             [&] { object->Describe(*this); });
  return object;
}

}  // namespace lumi
