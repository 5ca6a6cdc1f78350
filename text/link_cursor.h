// The cursor a link shows when the pointer is over it. The host installs
// the platform's way of showing a system cursor; it routes no pointer input
// to scenes, so during playback nothing asks for one.
#pragma once

#include <cstdint>

namespace lumi {

// The system's hand cursor.
inline constexpr uint32_t kHandCursor = 32649;

using CursorShower = void (*)(uint32_t cursor_id);
// Null removes the shower.
void SetCursorShower(CursorShower shower);
void ShowSystemCursor(uint32_t cursor_id);

}  // namespace lumi
