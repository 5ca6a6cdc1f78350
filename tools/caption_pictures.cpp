#include "tools/caption_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "archive/file_io.h"
#include "archive/guid.h"
#include "archive/input_error.h"
#include "archive/utf.h"

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
#include <stb_image_write.h>

namespace lumi::tool {
namespace {

using Json = nlohmann::ordered_json;

// Sizes beyond these are not a caption but a mistake.
constexpr float kMostSize = 512;
constexpr uint32_t kMostSide = 8192;

[[noreturn]] void Fail(const std::string& path, const std::string& problem) { throw InputError(path + ": " + problem); }

std::string NameString(const stbtt_fontinfo& font, int name_id) {
  int length = 0;
  // Windows Unicode names are UTF-16 big-endian.
  const char* name = stbtt_GetFontNameString(&font, &length, STBTT_PLATFORM_ID_MICROSOFT, STBTT_MS_EID_UNICODE_BMP,
                                             STBTT_MS_LANG_ENGLISH, name_id);
  if (name == nullptr) return {};
  std::u16string wide;
  for (int i = 0; i + 1 < length; i += 2) {
    wide.push_back(static_cast<char16_t>((static_cast<uint8_t>(name[i]) << 8) | static_cast<uint8_t>(name[i + 1])));
  }
  return ToUtf8(wide);
}

std::vector<std::vector<int>> CodeLines(const std::string& text) {
  std::vector<std::vector<int>> lines(1);
  const std::u16string wide = FromUtf8(text);
  for (size_t i = 0; i < wide.size(); ++i) {
    int c = wide[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
    if (c == '\n') {
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  return lines;
}

}  // namespace

CaptionRaster RasterizeCaption(const std::string& text, const std::vector<uint8_t>& font_bytes, float size,
                               uint32_t rgb, const std::string& path) {
  if (text.empty()) Fail(path + ".text", "a caption needs some text");
  if (!(size > 0 && size <= kMostSize)) Fail(path + ".size", "expected a size in pixels above 0, at most 512");
  stbtt_fontinfo font;
  const int offset = font_bytes.empty() ? -1 : stbtt_GetFontOffsetForIndex(font_bytes.data(), 0);
  if (offset < 0 || !stbtt_InitFont(&font, font_bytes.data(), offset)) Fail(path + ".face", "not a font file");
  const float scale = stbtt_ScaleForPixelHeight(&font, size);
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(&font, &ascent, &descent, &gap);
  const float line_height = static_cast<float>(ascent - descent + gap) * scale;
  const auto margin = static_cast<uint32_t>(std::ceil(size / 8));

  const std::vector<std::vector<int>> lines = CodeLines(text);
  float widest = 0;
  for (const std::vector<int>& line : lines) {
    float x = 0;
    for (size_t i = 0; i < line.size(); ++i) {
      int advance = 0, bearing = 0;
      stbtt_GetCodepointHMetrics(&font, line[i], &advance, &bearing);
      x += static_cast<float>(advance) * scale;
      if (i + 1 < line.size()) x += static_cast<float>(stbtt_GetCodepointKernAdvance(&font, line[i], line[i + 1])) * scale;
    }
    widest = std::max(widest, x);
  }
  CaptionRaster raster;
  const float width = std::ceil(widest) + 2.0f * static_cast<float>(margin);
  const float height = std::ceil(line_height * static_cast<float>(lines.size())) + 2.0f * static_cast<float>(margin);
  if (width > kMostSide || height > kMostSide) Fail(path + ".text", "the caption would be larger than 8192 pixels");
  raster.width = static_cast<uint32_t>(width);
  raster.height = static_cast<uint32_t>(height);
  std::vector<uint8_t> coverage(static_cast<size_t>(raster.width) * raster.height, 0);
  std::vector<uint8_t> glyph;
  for (size_t l = 0; l < lines.size(); ++l) {
    const std::vector<int>& line = lines[l];
    const float baseline = static_cast<float>(margin) + line_height * static_cast<float>(l) + static_cast<float>(ascent) * scale;
    float x = static_cast<float>(margin);
    for (size_t i = 0; i < line.size(); ++i) {
      const float shift_x = x - std::floor(x);
      int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
      stbtt_GetCodepointBitmapBoxSubpixel(&font, line[i], scale, scale, shift_x, 0, &x0, &y0, &x1, &y1);
      const int w = x1 - x0, h = y1 - y0;
      if (w > 0 && h > 0) {
        glyph.assign(static_cast<size_t>(w) * h, 0);
        stbtt_MakeCodepointBitmapSubpixel(&font, glyph.data(), w, h, w, scale, scale, shift_x, 0, line[i]);
        const int left = static_cast<int>(std::floor(x)) + x0, top = static_cast<int>(std::floor(baseline)) + y0;
        for (int gy = 0; gy < h; ++gy) {
          for (int gx = 0; gx < w; ++gx) {
            const int px = left + gx, py = top + gy;
            if (px < 0 || py < 0 || px >= static_cast<int>(raster.width) || py >= static_cast<int>(raster.height)) continue;
            uint8_t& c = coverage[static_cast<size_t>(py) * raster.width + static_cast<size_t>(px)];
            c = std::max(c, glyph[static_cast<size_t>(gy) * w + static_cast<size_t>(gx)]);
          }
        }
      }
      int advance = 0, bearing = 0;
      stbtt_GetCodepointHMetrics(&font, line[i], &advance, &bearing);
      x += static_cast<float>(advance) * scale;
      if (i + 1 < line.size()) x += static_cast<float>(stbtt_GetCodepointKernAdvance(&font, line[i], line[i + 1])) * scale;
    }
  }
  raster.rgba.resize(coverage.size() * 4);
  for (size_t i = 0; i < coverage.size(); ++i) {
    raster.rgba[i * 4 + 0] = static_cast<uint8_t>(rgb >> 16);
    raster.rgba[i * 4 + 1] = static_cast<uint8_t>(rgb >> 8);
    raster.rgba[i * 4 + 2] = static_cast<uint8_t>(rgb);
    raster.rgba[i * 4 + 3] = coverage[i];
  }
  raster.family = NameString(font, 1);
  raster.bold = NameString(font, 2).find("Bold") != std::string::npos;
  return raster;
}

namespace {

std::vector<uint8_t> EncodePng(const CaptionRaster& raster) {
  std::vector<uint8_t> png;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        const auto* bytes = static_cast<const uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
      },
      &png, static_cast<int>(raster.width), static_cast<int>(raster.height), 4, raster.rgba.data(),
      static_cast<int>(raster.width * 4));
  return png;
}

// The record of class `name` in the chain of bases from `node`.
Json* RecordOf(Json& node, std::string_view name) {
  for (Json* record = &node; record != nullptr && record->is_object();) {
    const auto found = record->find("class");
    if (found != record->end() && found->is_string() && found->get<std::string>() == name) return record;
    const auto base = record->find("base");
    record = base == record->end() ? nullptr : &*base;
  }
  return nullptr;
}

bool IsSpriteCaption(std::string_view name) {
  return name == "DS_StaticTextConstructor" || name == "DS_ScrollingTextConstructor" || name == "DS_TextLinkConstructor";
}

bool IsParticleCaption(std::string_view name) {
  return name == "DS_StaticText" || name == "DS_ScrollingTex" || name == "DS_TextLink";
}

std::string StringAt(const Json& entry, const char* field, const std::string& path) {
  const auto found = entry.find(field);
  if (found == entry.end()) Fail(path + "." + field, "missing");
  if (!found->is_string()) Fail(path + "." + field, "expected a string");
  return found->get<std::string>();
}

uint32_t ColourAt(const Json& entry, const std::string& path) {
  const std::string text = StringAt(entry, "colour", path);
  const bool hex = text.size() == 7 && text[0] == '#' &&
                   std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
  if (!hex) Fail(path + ".colour", "expected a colour like \"#FFD080\"");
  return static_cast<uint32_t>(std::stoul(text.substr(1), nullptr, 16));
}

std::vector<uint8_t> FontBytes(const std::string& face, const std::filesystem::path& base_directory,
                               const std::string& path) {
  const std::filesystem::path name = std::filesystem::u8path(face);
  std::error_code ec;
  for (const std::filesystem::path& candidate :
       {base_directory / name, std::filesystem::path(LUMI_FONT_DIRECTORY) / name}) {
    if (!face.empty() && std::filesystem::is_regular_file(candidate, ec)) return ReadFileBytes(candidate);
  }
  Fail(path + ".face", "font file \"" + face + "\" is neither beside the scene nor in " LUMI_FONT_DIRECTORY);
}

void RenderCaption(Json& object, const std::string& path, const std::filesystem::path& base_directory,
                   CaptionResources& out) {
  const std::string name = object["class"].get<std::string>();
  const std::string entry_path = path + ".caption";
  const Json entry = object["caption"];
  object.erase("caption");
  if (!entry.is_object()) Fail(entry_path, "expected an object with text, face, size and colour");
  const auto size = entry.find("size");
  if (size == entry.end() || !size->is_number()) Fail(entry_path + ".size", "expected a size in pixels");
  const std::string face = StringAt(entry, "face", entry_path);
  const CaptionRaster raster = RasterizeCaption(StringAt(entry, "text", entry_path), FontBytes(face, base_directory, entry_path),
                                                size->get<float>(), ColourAt(entry, entry_path), entry_path);
  std::vector<uint8_t> png = EncodePng(raster);
  const std::string text = entry["text"].get<std::string>();
  if (IsSpriteCaption(name)) {
    Json* record = RecordOf(object, "DS_StaticTextConstructor");
    if (record == nullptr || !record->contains("picture_id")) Fail(path, "a caption needs its picture_id");
    const auto id = (*record)["picture_id"].is_string() ? ParseGuid(FromUtf8((*record)["picture_id"].get<std::string>()))
                                                        : std::nullopt;
    if (!id) Fail(path + ".picture_id", "expected a GUID like {0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
    (*record)["text"] = text;
    (*record)["font"] = {{"value_1", -static_cast<int>(std::lround(size->get<float>()))},
                         {"value_2", raster.bold ? 700 : 400},
                         {"value_3", 0},
                         {"face_name", raster.family}};
    MaskRecord mask;
    mask.guid = *id;
    mask.file.bytes = std::move(png);
    out.by_id.push_back(std::move(mask));
    return;
  }
  Json* style_record = RecordOf(object, "DS_StaticText");
  Json* system = RecordOf(object, "VRN_ParticleSystemCtrl");
  const Json* images = system != nullptr ? &(*system)["look"]["textures"]["images"] : nullptr;
  if (style_record == nullptr || images == nullptr || !images->is_array() || images->empty() ||
      !(*images)[0].contains("path") || !(*images)[0]["path"].is_string() || !(*images)[0].contains("number") ||
      !(*images)[0]["number"].is_number_integer()) {
    Fail(path, "a caption needs the first image of its look to name its picture");
  }
  (*style_record)["style"]["caption"] = text;
  (*style_record)["style"]["face_name"] = raster.family;
  ResourceFrames picture;
  picture.key = {FromUtf8((*images)[0]["path"].get<std::string>()), (*images)[0]["number"].get<int64_t>()};
  DS_ResBlob frame;
  frame.blob.name = picture.key.name;
  frame.blob.bytes = std::move(png);
  picture.frames.push_back(std::move(frame));
  out.by_link.push_back(std::move(picture));
}

void Walk(Json& node, const std::string& path, const std::filesystem::path& base_directory, CaptionResources& out) {
  if (node.is_array()) {
    for (size_t i = 0; i < node.size(); ++i) Walk(node[i], path + "[" + std::to_string(i) + "]", base_directory, out);
    return;
  }
  if (!node.is_object()) return;
  // Records have a class; a caption field without one is a text style's.
  const auto name = node.find("class");
  if (node.contains("caption") && name != node.end() && name->is_string()) {
    if (!IsSpriteCaption(name->get<std::string>()) && !IsParticleCaption(name->get<std::string>())) {
      Fail(path + ".caption", "only text objects have a caption");
    }
    RenderCaption(node, path, base_directory, out);
  }
  for (auto& [key, value] : node.items()) Walk(value, path + "." + key, base_directory, out);
}

}  // namespace

CaptionResources RenderCaptions(Json& scene, const std::filesystem::path& base_directory) {
  CaptionResources out;
  Walk(scene, "$", base_directory, out);
  return out;
}

void AddCaptionResources(Document& document, CaptionResources resources) {
  DS_DocResManager& table = *document.resources;
  for (MaskRecord& mask : resources.by_id) {
    std::erase_if(table.masks, [&](const MaskRecord& m) { return m.guid == mask.guid; });
    table.masks.push_back(std::move(mask));
  }
  for (ResourceFrames& picture : resources.by_link) {
    std::erase_if(table.pictures, [&](const ResourceFrames& p) { return p.key == picture.key; });
    table.pictures.push_back(std::move(picture));
  }
}

}  // namespace lumi::tool
