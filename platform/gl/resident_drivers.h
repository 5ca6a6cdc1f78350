// Keeps Mesa's drivers in memory once a context has loaded them.
#pragma once

namespace lumi {

// Marks every DRI driver the process has loaded to stay loaded until it
// exits. Tearing the last context down (eglTerminate, SDL's video quitting)
// then still joins the driver's rasteriser threads, but no longer unloads
// the driver: what it keeps for the process stays reachable from its own
// globals, so a leak checker sees no leak there, and a later context does
// not load it again.
void KeepGlDriversResident();

}  // namespace lumi
