// Remembers the version each record had in the binary document it was read
// from, so inspect can show it while describing the object in today's layout.
#pragma once

#include <map>
#include <string_view>
#include <utility>

namespace lumi {

class VersionLog {
 public:
  // `class_name` must outlive the log (class names are static).
  void Note(const void* self, std::string_view class_name, int version) { versions_[{self, class_name}] = version; }
  // The stored version, or `fallback` (today's) when none was noted.
  int Find(const void* self, std::string_view class_name, int fallback) const {
    const auto it = versions_.find({self, class_name});
    return it == versions_.end() ? fallback : it->second;
  }

 private:
  std::map<std::pair<const void*, std::string_view>, int> versions_;
};

}  // namespace lumi
