// The media graph through DirectShow: a filter graph that plays a file from
// a file source, rendered by the system's decoders and audio renderer.
#pragma once

#include "sound/media_graph.h"

namespace lumi {

// Graphs of DirectShow; the maker gives none where COM or DirectShow is
// missing, and the sound that wanted one stays silent.
MediaGraphMaker DirectShowGraphs();

}  // namespace lumi
