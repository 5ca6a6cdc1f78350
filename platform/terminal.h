// Whether a person watches a stream: progress lines are written only to
// a terminal, never into a log file or a pipe.
#pragma once

namespace lumi {

bool StandardErrorIsTerminal();

}  // namespace lumi
