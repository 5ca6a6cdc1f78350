#include "archive/json_reader.h"

#include <cmath>
#include <limits>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/registry.h"
#include "archive/unknown_record.h"
#include "archive/utf.h"

namespace lumi {
namespace {

using Json = nlohmann::ordered_json;

std::string Kind(const Json& v) { return v.type_name(); }

}  // namespace

JsonReader::JsonReader(const Json& root, std::filesystem::path base_directory)
    : base_directory_(std::move(base_directory)) {
  stack_.push_back({&root, "$", {}});
}

void JsonReader::Fail(const std::string& path, const std::string& problem) const {
  throw InputError(path + ": " + problem);
}

std::string JsonReader::PathOf(const char* field) const {
  return field == nullptr ? stack_.back().path : stack_.back().path + "." + field;
}

const Json& JsonReader::Value(const char* field) {
  Frame& top = stack_.back();
  if (field == nullptr) return *top.node;
  if (!top.node->is_object()) Fail(top.path, "expected an object, found " + Kind(*top.node));
  const auto it = top.node->find(field);
  if (it == top.node->end()) Fail(PathOf(field), "missing");
  top.used.insert(field);
  return *it;
}

template <class T>
T JsonReader::Integer(const char* field, const char* kind) {
  const Json& v = Value(field);
  const bool fits = v.is_number_integer() &&
                    (v.is_number_unsigned() ? v.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<T>::max())
                                            : v.get<int64_t>() >= static_cast<int64_t>(std::numeric_limits<T>::min()) &&
                                                  v.get<int64_t>() <= static_cast<int64_t>(std::numeric_limits<T>::max()));
  if (!fits) Fail(PathOf(field), std::string("expected ") + kind + ", found " + (v.is_number() ? v.dump() : Kind(v)));
  return v.is_number_unsigned() ? static_cast<T>(v.get<uint64_t>()) : static_cast<T>(v.get<int64_t>());
}

void JsonReader::Int(const char* field, int32_t& v) { v = Integer<int32_t>(field, "a signed 32-bit integer"); }
void JsonReader::UInt(const char* field, uint32_t& v) { v = Integer<uint32_t>(field, "an unsigned 32-bit integer"); }
void JsonReader::Byte(const char* field, uint8_t& v) { v = Integer<uint8_t>(field, "a byte (0 to 255)"); }
void JsonReader::Int64(const char* field, int64_t& v) { v = Integer<int64_t>(field, "a signed 64-bit integer"); }

void JsonReader::Float(const char* field, float& v) {
  const Json& value = Value(field);
  if (value.is_number()) {
    v = value.get<float>();
    return;
  }
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text == "nan") return void(v = std::numeric_limits<float>::quiet_NaN());
    if (text == "inf") return void(v = std::numeric_limits<float>::infinity());
    if (text == "-inf") return void(v = -std::numeric_limits<float>::infinity());
  }
  Fail(PathOf(field), "expected a number, found " + Kind(value));
}

void JsonReader::Bool(const char* field, bool& v) {
  const Json& value = Value(field);
  if (!value.is_boolean()) Fail(PathOf(field), "expected true or false, found " + Kind(value));
  v = value.get<bool>();
}

std::u16string JsonReader::String(const Json& value, const std::string& path) const {
  if (value.is_string()) return FromUtf8(value.get_ref<const std::string&>());
  if (value.is_object() && value.size() == 1 && value.contains("utf16") && value["utf16"].is_array()) {
    std::u16string out;
    for (const Json& unit : value["utf16"]) {
      if (!unit.is_number_unsigned() || unit.get<uint64_t>() > 0xFFFF) Fail(path, "utf16 code units must be 0 to 65535");
      out += static_cast<char16_t>(unit.get<uint64_t>());
    }
    return out;
  }
  Fail(path, "expected a string, found " + Kind(value));
}

void JsonReader::WString(const char* field, std::u16string& v) { v = String(Value(field), PathOf(field)); }

void JsonReader::Guid(const char* field, GUID& v) {
  const std::u16string text = String(Value(field), PathOf(field));
  const auto parsed = ParseGuid(text);
  if (!parsed) Fail(PathOf(field), "expected a GUID like {0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  v = *parsed;
}

// A relative name is first taken relative to the JSON file, which is how
// `inspect -o` names files; JSON printed on standard output names them as
// the extraction folder was given, relative to the working directory.
std::filesystem::path JsonReader::Locate(const std::filesystem::path& name) const {
  if (name.is_absolute()) return name;
  const std::filesystem::path beside_json = base_directory_ / name;
  std::error_code ec;
  if (!std::filesystem::exists(beside_json, ec) && std::filesystem::exists(name, ec)) return name;
  return beside_json;
}

std::vector<uint8_t> JsonReader::FileBytes(const Json& node, const std::string& path) {
  if (!node.is_object()) Fail(path, "expected a blob object, found " + Kind(node));
  const auto file = node.find("file");
  if (file == node.end()) {
    const auto count = node.find("bytes");
    if (count != node.end() && count->is_number_unsigned() && count->get<uint64_t>() == 0) return {};
    Fail(path, "blob has no \"file\" (inspect with --extract DIR writes blob files)");
  }
  if (!file->is_string()) Fail(path + ".file", "expected a file name, found " + Kind(*file));
  const std::filesystem::path name = std::filesystem::u8path(file->get<std::string>());
  try {
    return ReadFileBytes(Locate(name));
  } catch (const InputError& e) {
    Fail(path + ".file", e.what());
  }
}

void JsonReader::MemBlob(const char* field, DS_MemBlob& v) {
  const Json& node = Value(field);
  const std::string path = PathOf(field);
  v.bytes = FileBytes(node, path);
  v.name = node.contains("name") ? String(node["name"], path + ".name") : std::u16string();
}

void JsonReader::ResBlob(const char* field, DS_ResBlob& v) {
  const Json& node = Value(field);
  const std::string path = PathOf(field);
  v.blob.bytes = FileBytes(node, path);
  v.blob.name = node.contains("name") ? String(node["name"], path + ".name") : std::u16string();
  v.module = node.contains("module") ? String(node["module"], path + ".module") : std::u16string();
  const auto id = node.find("id");
  if (id == node.end()) Fail(path + ".id", "missing");
  if (!id->is_number_integer() || id->get<int64_t>() < std::numeric_limits<int32_t>::min() ||
      id->get<int64_t>() > std::numeric_limits<int32_t>::max()) {
    Fail(path + ".id", "expected a signed 32-bit integer");
  }
  v.id = static_cast<int32_t>(id->get<int64_t>());
}

void JsonReader::Bytes(const char* field, std::vector<uint8_t>& v) { v = FileBytes(Value(field), PathOf(field)); }

void JsonReader::UnsettledFields(UnreadFields& unread, std::string_view, FunctionRef<void()> own_fields) {
  const Json& node = *stack_.back().node;
  unread.kept = node.is_object() && node.contains("unreadable_settings");
  if (unread.kept) KeptBytes("unreadable_settings", unread.bytes);
  else own_fields();
}

void JsonReader::Derived(const char* field, double) {
  if (field != nullptr) stack_.back().used.insert(field);
}

void JsonReader::List(const char* field, size_t& count, FunctionRef<void(size_t)> element) {
  const Json& array = Value(field);
  const std::string path = PathOf(field);
  if (!array.is_array()) Fail(path, "expected a list, found " + Kind(array));
  count = array.size();
  for (size_t i = 0; i < count; ++i) {
    stack_.push_back({&array[i], path + "[" + std::to_string(i) + "]", {}});
    element(i);
    stack_.pop_back();
  }
}

void JsonReader::Enter(const Json& node, std::string path, int version, FunctionRef<void()> fields) {
  if (!node.is_object()) Fail(path, "expected an object, found " + Kind(node));
  stack_.push_back({&node, std::move(path), {"class", "version"}});
  versions_.push_back(version);
  fields();
  versions_.pop_back();
  const Frame& frame = stack_.back();
  for (const auto& [key, value] : frame.node->items()) {
    if (!frame.used.contains(key)) Fail(frame.path + "." + key, "unknown field");
  }
  stack_.pop_back();
}

void JsonReader::ReadObjectFields(const char* field, int version, FunctionRef<void()> fields) {
  const Json& node = Value(field);
  Enter(node, PathOf(field), version, fields);
}

void JsonReader::Record(const char* field, std::string_view /*class_name*/, int current_version, const void*,
                        FunctionRef<void()> fields) {
  ReadObjectFields(field, current_version, fields);
}

void JsonReader::Group(const char* field, FunctionRef<void()> fields) {
  ReadObjectFields(field, version(), fields);
}

void JsonReader::VersionedFields(const char* field, int current_version, const void*, FunctionRef<void()> fields) {
  ReadObjectFields(field, current_version, fields);
}

std::unique_ptr<DS_IOF_Item> JsonReader::Object(const char* field, DS_IOF_Item*, Family family,
                                                FunctionRef<bool(const DS_IOF_Item&)> fits) {
  const Json& node = Value(field);
  const std::string path = PathOf(field);
  if (!node.is_object()) Fail(path, "expected an object, found " + Kind(node));
  const auto name = node.find("class");
  if (name == node.end() || !name->is_string()) Fail(path + ".class", "missing class name");
  const ClassRegistry::Entry* entry = ClassRegistry::Get(family).Find(name->get<std::string>());
  std::unique_ptr<DS_IOF_Item> object;
  if (entry != nullptr) {
    object = entry->create();
  } else if (node.value("unknown", false)) {
    // A record inspect found but could not read: its bytes go back as they were.
    object = ClassRegistry::Get(family).CreateUnknown();
    if (auto* unknown = dynamic_cast<UnknownRecord*>(object.get())) {
      unknown->class_name = name->get<std::string>();
      stack_.push_back({&node, path, {}});
      unknown->version = Integer<int32_t>("version", "a signed 32-bit integer");
      stack_.pop_back();
    }
  }
  if (object == nullptr) {
    Fail(path + ".class", "unknown " + std::string(FamilyName(family)) + " class " + name->get<std::string>());
  }
  if (!fits(*object)) Fail(path + ".class", "class " + name->get<std::string>() + " is not the kind of object stored here");
  Enter(node, path, object->CurrentVersion(), [&] {
    if (entry == nullptr) stack_.back().used.insert("unknown");
    object->Describe(*this);
  });
  return object;
}

}  // namespace lumi
