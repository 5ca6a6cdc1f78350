#include "render/diagnostics.h"

#include <cstdio>
#include <utility>

namespace lumi {
namespace {

DiagnosticSink& Sink() {
  static DiagnosticSink sink;
  return sink;
}

}  // namespace

void Diagnose(const std::string& message) {
  if (Sink()) Sink()(message);
  else std::fprintf(stderr, "lumisave: %s\n", message.c_str());
}

DiagnosticSink SetDiagnosticSink(DiagnosticSink sink) { return std::exchange(Sink(), std::move(sink)); }

}  // namespace lumi
