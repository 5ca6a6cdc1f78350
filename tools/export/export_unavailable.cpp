// export where this lumisave-tool has no video encoder: the command is
// listed, so that its help says where it is found.
#include "archive/input_error.h"
#include "tools/command.h"

namespace lumi::tool::export_unavailable {
namespace {

const std::string kUsageText =
    "Usage: lumisave-tool export FILE -o OUT.mp4|OUT.webm|OUT.mkv [options]\n"
    "Writes a document as a video file. Export is built on Linux only, with\n"
    "FFmpeg's libraries; this lumisave-tool was built without them.\n";

int Run(const std::vector<std::string>&) {
  throw InputError("video export is built on Linux only, with FFmpeg's libraries; this lumisave-tool has none");
}

const RegisterCommand kRegister({"export", "write a document as a video file (Linux only)", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::export_unavailable
