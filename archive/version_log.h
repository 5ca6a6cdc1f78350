// Remembers the version each record had in the binary document it was read
// from, so inspect can show it while describing the object in today's layout.
#pragma once

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace lumi {

class VersionLog {
 public:
  // `class_name` must outlive the log (class names are static).
  void Note(const void* self, std::string_view class_name, int version) {
    const auto [it, added] = versions_.insert({{self, class_name}, version});
    if (added) noted_.push_back(it->first);
    else it->second = version;
  }
  // Forgets what was noted since Mark returned `mark`: a reader that goes
  // back over records it had read must not leave their objects' versions to
  // others made later at the same addresses.
  size_t Mark() const { return noted_.size(); }
  void RollBack(size_t mark) {
    for (size_t i = mark; i < noted_.size(); ++i) versions_.erase(noted_[i]);
    noted_.resize(std::min(mark, noted_.size()));
  }
  // The stored version, or `fallback` (today's) when none was noted.
  int Find(const void* self, std::string_view class_name, int fallback) const {
    const auto it = versions_.find({self, class_name});
    return it == versions_.end() ? fallback : it->second;
  }

 private:
  std::map<std::pair<const void*, std::string_view>, int> versions_;
  std::vector<std::pair<const void*, std::string_view>> noted_;  // keys in the order first noted
};

}  // namespace lumi
