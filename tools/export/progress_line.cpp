#include "tools/export/progress_line.h"

#include <cstdio>
#include <string>

#include "platform/terminal.h"

namespace lumi::tool {
namespace {

std::string ClockText(double seconds) {
  const long whole = static_cast<long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

ProgressLine::ProgressLine(size_t total) : total_(total), shown_(StandardErrorIsTerminal()) {}

void ProgressLine::Update(size_t done) {
  if (!shown_) return;
  const Clock::time_point now = Clock::now();
  if (done < total_ && now - last_ < std::chrono::milliseconds(250)) return;
  last_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double left = done > 0 ? elapsed * static_cast<double>(total_ - done) / static_cast<double>(done) : 0;
  std::fprintf(stderr, "\rframe %zu of %zu, %s spent, %s left ", done, total_, ClockText(elapsed).c_str(),
               done > 0 ? ClockText(left).c_str() : "?");
  std::fflush(stderr);
  written_ = true;
}

void ProgressLine::End() {
  if (written_) std::fprintf(stderr, "\n");
  written_ = false;
}

}  // namespace lumi::tool
