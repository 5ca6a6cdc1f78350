// Messages about the scene that do not stop it (a picture that will not
// load, an effect chain that cannot be made). They go to standard error
// unless a sink is set, as tests and tools do to collect them.
#pragma once

#include <functional>
#include <string>

namespace lumi {

void Diagnose(const std::string& message);

using DiagnosticSink = std::function<void(const std::string&)>;
// Returns the sink that was in place; an empty sink means standard error.
DiagnosticSink SetDiagnosticSink(DiagnosticSink sink);

}  // namespace lumi
