// Things the user may want to know about a document that do not stop it
// from playing (a class whose behaviour is not built yet plays inert). Each
// text is noted once per process, however many objects give it; the tool
// and the saver print what is new after their work.
#pragma once

#include <string>
#include <vector>

namespace lumi {

// Notes `text` unless it was noted before.
void AddNoticeOnce(const std::string& text);
// Every notice so far, in the order first noted.
const std::vector<std::string>& Notices();
// The notices noted since the last call, for printing each once.
std::vector<std::string> TakeNewNotices();

}  // namespace lumi
