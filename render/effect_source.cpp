#include "render/effect_source.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <sstream>

#include "render/state_names.h"

namespace lumi {

namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// Bytes that would garble a message become '?'.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '?';
  }
  return text;
}

// Parameter and sampler names become GLSL names.
bool IsIdentifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::optional<float> Number(const std::string& word) {
  float value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

const std::map<std::string, ParameterType> kTypes = {
    {"float", ParameterType::Float},    {"float2", ParameterType::Float2},     {"float3", ParameterType::Float3},
    {"float4", ParameterType::Float4},  {"float2x2", ParameterType::Float2x2}, {"float4x4", ParameterType::Float4x4},
    {"texture", ParameterType::Texture}};

class EffectParser {
 public:
  explicit EffectParser(std::string_view text) {
    for (size_t start = 0; start <= text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      start = end + 1;
    }
  }

  std::optional<EffectSource> Parse(std::string& error) {
    if (lines_.empty() || Words(lines_[0]) != std::vector<std::string>{"lumi-effect", "1"}) {
      error = "line 1: expected \"lumi-effect 1\"";
      return std::nullopt;
    }
    for (index_ = 1; index_ < lines_.size(); ++index_) {
      const auto words = Words(lines_[index_]);
      if (words.empty() || words[0][0] == '#') continue;
      if (!Statement(words)) {
        error = "line " + std::to_string(index_ + 1) + ": " + error_;
        return std::nullopt;
      }
    }
    for (const EffectTechnique& technique : source_.techniques) {
      if (technique.passes.empty()) {
        error = "technique \"" + technique.name + "\" has no passes";
        return std::nullopt;
      }
    }
    if (source_.techniques.empty()) {
      error = "the effect has no techniques";
      return std::nullopt;
    }
    return std::move(source_);
  }

 private:
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  bool Statement(const std::vector<std::string>& w) {
    const std::string& keyword = w[0];
    static const std::vector<std::string> kKeywords = {"param", "sampler", "common",  "technique", "pass",
                                                       "state", "stage",   "texture", "fragment",  "vertex"};
    if (std::find(kKeywords.begin(), kKeywords.end(), keyword) == kKeywords.end()) {
      return Fail("unknown keyword \"" + Printable(keyword) + "\"");
    }
    if (keyword == "param") return Parameter(w);
    if (keyword == "sampler") return Sampler(w);
    if (keyword == "common") return Program(w, source_.common);
    if (keyword == "technique") {
      if (w.size() != 2) return Fail("expected \"technique <name>\"");
      for (const auto& t : source_.techniques) {
        if (t.name == w[1]) return Fail("technique \"" + w[1] + "\" appears twice");
      }
      source_.techniques.push_back({w[1], {}});
      return true;
    }
    if (source_.techniques.empty()) return Fail("\"" + keyword + "\" outside a technique");
    EffectTechnique& technique = source_.techniques.back();
    if (keyword == "pass") {
      technique.passes.emplace_back();
      return true;
    }
    if (technique.passes.empty()) return Fail("\"" + keyword + "\" outside a pass");
    EffectPass& pass = technique.passes.back();
    if (keyword == "state") return State(w, pass);
    if (keyword == "stage") return Stage(w, pass);
    if (keyword == "texture") {
      if (w.size() != 3 || (w[1] != "0" && w[1] != "1")) return Fail("expected \"texture <stage 0 or 1> <parameter>\"");
      if (!IsTexture(w[2])) return Fail("\"" + w[2] + "\" is not a texture parameter");
      pass.stageTextures.emplace_back(w[1] == "1" ? 1 : 0, w[2]);
      return true;
    }
    if (keyword == "fragment") return Program(w, pass.fragment);
    return Program(w, pass.vertex);
  }

  bool IsTexture(const std::string& name) const {
    for (const auto& p : source_.parameters) {
      if (p.name == name) return p.type == ParameterType::Texture;
    }
    return false;
  }

  bool Parameter(const std::vector<std::string>& w) {
    if (w.size() < 3) return Fail("expected \"param <type> <name> [values]\"");
    const auto type = kTypes.find(w[1]);
    if (type == kTypes.end()) return Fail("unknown parameter type \"" + Printable(w[1]) + "\"");
    if (!IsIdentifier(w[2])) return Fail("\"" + Printable(w[2]) + "\" is not a name");
    for (const auto& p : source_.parameters) {
      if (p.name == w[2]) return Fail("parameter \"" + w[2] + "\" appears twice");
    }
    EffectParameter parameter{w[2], type->second, std::vector<float>(ValueCount(type->second), 0.0f)};
    if (w.size() > 3 && w.size() - 3 != parameter.initial.size()) {
      return Fail("parameter \"" + w[2] + "\" needs " + std::to_string(parameter.initial.size()) + " values");
    }
    for (size_t i = 3; i < w.size(); ++i) {
      const auto value = Number(w[i]);
      if (!value) return Fail("\"" + Printable(w[i]) + "\" is not a number");
      parameter.initial[i - 3] = *value;
    }
    source_.parameters.push_back(std::move(parameter));
    return true;
  }

  bool Sampler(const std::vector<std::string>& w) {
    if (w.size() < 3) return Fail("expected \"sampler <name> <texture parameter> [key=value ...]\"");
    if (!IsIdentifier(w[1])) return Fail("\"" + Printable(w[1]) + "\" is not a name");
    if (!IsTexture(w[2])) return Fail("\"" + Printable(w[2]) + "\" is not a texture parameter");
    EffectSampler sampler;
    sampler.name = w[1];
    sampler.texture = w[2];
    for (size_t i = 3; i < w.size(); ++i) {
      const size_t equals = w[i].find('=');
      const std::string key = w[i].substr(0, equals),
                        value = equals == std::string::npos ? "" : w[i].substr(equals + 1);
      uint32_t* field = key == "min"   ? &sampler.minFilter
                        : key == "mag" ? &sampler.magFilter
                        : key == "mip" ? &sampler.mipFilter
                        : key == "u"   ? &sampler.addressU
                        : key == "v"   ? &sampler.addressV
                                       : nullptr;
      if (!field) return Fail("unknown sampler setting \"" + Printable(key) + "\"");
      const auto found = ValueByName(key == "u" || key == "v" ? StateValues::TextureAddress : StateValues::TextureFilter, value);
      if (!found) return Fail("\"" + Printable(value) + "\" is not a value of " + key);
      *field = *found;
    }
    source_.samplers.push_back(sampler);
    return true;
  }

  bool State(const std::vector<std::string>& w, EffectPass& pass) {
    if (w.size() != 3) return Fail("expected \"state <name> <value>\"");
    const auto state = RenderStateByName(w[1]);
    if (!state) return Fail("unknown state \"" + Printable(w[1]) + "\"");
    uint32_t value = 0;
    if (ValuesOf(*state) != StateValues::Byte) {
      const auto found = ValueByName(ValuesOf(*state), w[2]);
      if (!found) return Fail("\"" + Printable(w[2]) + "\" is not a value of " + w[1]);
      value = *found;
    } else {
      const auto number = Number(w[2]);
      if (!number || *number < 0 || *number > 255) return Fail(w[1] + " takes a number from 0 to 255");
      value = static_cast<uint32_t>(*number);
    }
    pass.states.emplace_back(*state, value);
    return true;
  }

  bool Stage(const std::vector<std::string>& w, EffectPass& pass) {
    if (w.size() != 4 || (w[1] != "0" && w[1] != "1")) return Fail("expected \"stage <0 or 1> <state> <value>\"");
    const auto state = StageStateByName(w[2]);
    if (!state) return Fail("unknown stage state \"" + Printable(w[2]) + "\"");
    const auto value = ValueByName(ValuesOf(*state), w[3]);
    if (!value) return Fail("\"" + Printable(w[3]) + "\" is not a value of " + w[2]);
    pass.stageStates.push_back({w[1] == "1" ? 1u : 0u, *state, *value});
    return true;
  }

  // A program text runs from the next line to a line holding only "end".
  bool Program(const std::vector<std::string>& w, ProgramText& program) {
    if (w.size() != 1) return Fail("expected \"" + w[0] + "\" alone on its line");
    if (program.firstLine) return Fail("a second " + w[0] + " program");
    program.firstLine = static_cast<int>(index_ + 2);
    for (++index_; index_ < lines_.size(); ++index_) {
      if (Words(lines_[index_]) == std::vector<std::string>{"end"}) return true;
      program.text.append(lines_[index_]).append("\n");
    }
    index_ = static_cast<size_t>(program.firstLine - 2);
    return Fail(w[0] + " program without its \"end\" line");
  }

  std::vector<std::string_view> lines_;
  size_t index_ = 0;
  EffectSource source_;
  std::string error_;
};

}  // namespace

uint32_t ValueCount(ParameterType type) {
  switch (type) {
    case ParameterType::Float:
      return 1;
    case ParameterType::Float2:
      return 2;
    case ParameterType::Float3:
      return 3;
    case ParameterType::Float4:
      return 4;
    case ParameterType::Float2x2:
      return 4;
    case ParameterType::Float4x4:
      return 16;
    case ParameterType::Texture:
      return 0;
  }
  return 0;
}

std::optional<EffectSource> ParseEffectSource(std::string_view text, std::string& error) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a UTF-8 byte-order mark
  return EffectParser(text).Parse(error);
}

}  // namespace lumi
