#include "archive/json_writer.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/sha256.h"
#include "archive/unknown_record.h"
#include "archive/utf.h"

namespace lumi {
namespace {

bool IsValidUtf16(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) return false;
      ++i;
    } else if (c >= 0xDC00 && c < 0xE000) {
      return false;
    }
  }
  return true;
}

// The usual extension of a file by its first bytes, so extracted blobs open
// in the right program.
std::string SniffedExtension(std::span<const uint8_t> b) {
  auto starts = [&](std::string_view magic) {
    return b.size() >= magic.size() && std::equal(magic.begin(), magic.end(), b.begin(),
                                                  [](char m, uint8_t c) { return static_cast<uint8_t>(m) == c; });
  };
  if (starts("\x89PNG")) return ".png";
  if (starts("\xFF\xD8\xFF")) return ".jpg";
  if (starts("GIF8")) return ".gif";
  if (starts("DDS ")) return ".dds";
  if (starts("BM")) return ".bmp";
  if (starts("RIFF") && b.size() >= 12 && std::string_view(reinterpret_cast<const char*>(b.data()) + 8, 4) == "WAVE")
    return ".wav";
  if (starts("ID3") || (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0)) return ".mp3";
  if (starts("xof ")) return ".x";
  if (b.size() >= 4 && b[0] == 0x01 && b[1] == 0x09 && b[2] == 0xFF && b[3] == 0xFE) return ".fxo";
  return ".bin";
}

// A file name for an extracted blob: the hash keeps names unique and equal
// contents in one file; the blob's own file name, when it has one, keeps it
// recognisable, and its content gives the extension it lacks.
std::string ExtractedName(const std::string& sha, std::u16string_view name_hint, std::span<const uint8_t> bytes) {
  std::string base = ToUtf8(name_hint);
  const size_t cut = base.find_last_of("/\\:");
  if (cut != std::string::npos) base = base.substr(cut + 1);
  const size_t dot = base.rfind('.');
  const std::string ext = dot == std::string::npos ? std::string() : base.substr(dot);
  if (ext.empty() || ext == ".dll" || ext == ".exe" || ext == ".scr") base += SniffedExtension(bytes);
  std::string safe;
  for (char c : base) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == '_';
    safe += ok ? c : '_';
  }
  if (safe.size() > 60) safe = safe.substr(safe.size() - 60);
  return sha.substr(0, 16) + (safe.front() == '.' ? safe : "-" + safe);
}

// The double whose shortest decimal form is the float's own, so inspect shows
// 0.1 rather than 0.10000000149011612; it reads back as the same float.
double ReadableFloat(float v) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  *end = '\0';
  return std::strtod(text, nullptr);
}

}  // namespace

nlohmann::ordered_json StringToJson(std::u16string_view text) {
  if (IsValidUtf16(text)) return ToUtf8(text);
  nlohmann::ordered_json units = nlohmann::ordered_json::array();
  for (char16_t unit : text) units.push_back(static_cast<unsigned>(unit));
  return {{"utf16", units}};
}

JsonWriter::JsonWriter(nlohmann::ordered_json& root, const VersionLog* versions,
                       std::optional<BlobExtraction> extraction)
    : stored_versions_(versions), extraction_(std::move(extraction)) {
  stack_.push_back(&root);
}

std::string JsonWriter::Where() const {
  return classes_.empty() ? std::string("document") : std::string(classes_.back()) + " record";
}

nlohmann::ordered_json& JsonWriter::Target(const char* field) {
  nlohmann::ordered_json& top = *stack_.back();
  if (field == nullptr) return top;
  if (top.is_object() && top.contains(field)) {
    throw std::logic_error(Where() + " describes the field " + field + " twice");
  }
  return top[field];
}

void JsonWriter::Reject(const char* field, const std::string& problem) {
  throw InputError(Where() + (field ? std::string(" field ") + field : std::string()) + ": " + problem);
}

void JsonWriter::Int(const char* field, int32_t& v) { Target(field) = v; }
void JsonWriter::UInt(const char* field, uint32_t& v) { Target(field) = v; }
void JsonWriter::Bool(const char* field, bool& v) { Target(field) = v; }
void JsonWriter::Byte(const char* field, uint8_t& v) { Target(field) = v; }
void JsonWriter::Int64(const char* field, int64_t& v) { Target(field) = v; }

void JsonWriter::Float(const char* field, float& v) {
  if (std::isfinite(v)) Target(field) = ReadableFloat(v);
  else Target(field) = std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf");
}

void JsonWriter::WString(const char* field, std::u16string& v) { Target(field) = StringToJson(v); }

void JsonWriter::Guid(const char* field, GUID& v) { Target(field) = ToUtf8(FormatGuid(v)); }

void JsonWriter::DescribeBytes(nlohmann::ordered_json& node, std::span<const uint8_t> bytes,
                               std::u16string_view name_hint) {
  node["bytes"] = bytes.size();
  if (bytes.empty()) return;
  const std::string sha = Sha256Hex(bytes);
  node["sha256"] = sha;
  if (!extraction_) return;
  const std::string file_name = ExtractedName(sha, name_hint, bytes);
  const std::filesystem::path file = extraction_->directory / file_name;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    std::filesystem::create_directories(extraction_->directory, ec);
    WriteFileBytes(file, bytes);
  }
  node["file"] = extraction_->relative_to
                     ? std::filesystem::proximate(std::filesystem::absolute(file), *extraction_->relative_to).generic_string()
                     : file.generic_string();
}

void JsonWriter::MemBlob(const char* field, DS_MemBlob& v) {
  nlohmann::ordered_json& node = Target(field);
  node = nlohmann::ordered_json::object();
  node["name"] = StringToJson(v.name);
  DescribeBytes(node, v.bytes, v.name);
}

void JsonWriter::ResBlob(const char* field, DS_ResBlob& v) {
  nlohmann::ordered_json& node = Target(field);
  node = nlohmann::ordered_json::object();
  node["id"] = v.id;
  node["module"] = StringToJson(v.module);
  node["name"] = StringToJson(v.blob.name);
  std::u16string hint = v.blob.name;
  if (hint.empty()) {
    const std::u16string module = v.module.substr(0, v.module.rfind(u'.'));
    const std::string id = std::to_string(v.id);
    hint = module + u"-" + std::u16string(id.begin(), id.end());
  }
  DescribeBytes(node, v.blob.bytes, hint);
}

void JsonWriter::Bytes(const char* field, std::vector<uint8_t>& v) {
  nlohmann::ordered_json& node = Target(field);
  node = nlohmann::ordered_json::object();
  DescribeBytes(node, v, u"");
}

void JsonWriter::Derived(const char* field, double value) {
  const float single = static_cast<float>(value);
  if (std::isfinite(value)) Target(field) = static_cast<double>(single) == value ? ReadableFloat(single) : value;
}

void JsonWriter::List(const char* field, size_t& count, FunctionRef<void(size_t)> element) {
  nlohmann::ordered_json& array = Target(field);
  array = nlohmann::ordered_json::array();
  for (size_t i = 0; i < count; ++i) {
    array.push_back(nullptr);
    stack_.push_back(&array.back());
    element(i);
    stack_.pop_back();
  }
}

void JsonWriter::Record(const char* field, std::string_view class_name, int current_version, const void* self,
                        FunctionRef<void()> fields) {
  nlohmann::ordered_json& node = Target(field);
  node = nlohmann::ordered_json::object();
  node["class"] = std::string(class_name);
  node["version"] = stored_versions_ ? stored_versions_->Find(self, class_name, current_version) : current_version;
  stack_.push_back(&node);
  versions_.push_back(current_version);
  classes_.push_back(class_name);
  fields();
  classes_.pop_back();
  versions_.pop_back();
  stack_.pop_back();
}

void JsonWriter::Group(const char* field, FunctionRef<void()> fields) {
  nlohmann::ordered_json& node = Target(field);
  node = nlohmann::ordered_json::object();
  stack_.push_back(&node);
  fields();
  stack_.pop_back();
}

void JsonWriter::VersionedFields(const char* field, int current_version, const void* self,
                                 FunctionRef<void()> fields) {
  nlohmann::ordered_json& node = Target(field);
  node = nlohmann::ordered_json::object();
  node["version"] = stored_versions_ ? stored_versions_->Find(self, "", current_version) : current_version;
  stack_.push_back(&node);
  versions_.push_back(current_version);
  fields();
  versions_.pop_back();
  stack_.pop_back();
}

std::unique_ptr<DS_IOF_Item> JsonWriter::Object(const char* field, DS_IOF_Item* existing, Family,
                                                FunctionRef<bool(const DS_IOF_Item&)>) {
  if (existing == nullptr) {
    Target(field) = nullptr;
    return nullptr;
  }
  Record(field, existing->ClassName(), existing->CurrentVersion(), existing, [&] {
    if (dynamic_cast<const UnknownRecord*>(existing) != nullptr) stack_.back()->emplace("unknown", true);
    existing->Describe(*this);
  });
  return nullptr;
}

}  // namespace lumi
