#include "scene/notices.h"

#include <algorithm>

namespace lumi {
namespace {

struct NoticeList {
  std::vector<std::string> texts;
  size_t taken = 0;
};

NoticeList& List() {
  static NoticeList list;
  return list;
}

}  // namespace

void AddNoticeOnce(const std::string& text) {
  std::vector<std::string>& texts = List().texts;
  if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(text);
}

const std::vector<std::string>& Notices() { return List().texts; }

std::vector<std::string> TakeNewNotices() {
  NoticeList& list = List();
  std::vector<std::string> fresh(list.texts.begin() + static_cast<std::ptrdiff_t>(list.taken), list.texts.end());
  list.taken = list.texts.size();
  return fresh;
}

}  // namespace lumi
