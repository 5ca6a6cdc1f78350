// MP3 decoding through libmpg123, as a track decoder.
#pragma once

#include "sound/track_decoder.h"

namespace lumi {

// Null with `error` set unless mpg123 finds a real MPEG audio stream in the
// file (it "opens" other files with no length).
std::unique_ptr<TrackDecoder> OpenMpegTrack(const std::filesystem::path& path, std::string& error);

}  // namespace lumi
