// <windows.h>, as every Windows file of ours includes it: without the
// character-set macros that share their names with our own operations
// (SaverPlatform's messages, PeModule's resources, the string table's
// LoadString). Our calls name the wide functions themselves. Included through here by every file,
// the macros are gone wherever a build joins files into one translation
// unit, whichever file comes first.
#pragma once

#include <windows.h>

#undef PostMessage
#undef GetMessage
#undef PeekMessage
#undef DispatchMessage
#undef FindResource
#undef LoadString
