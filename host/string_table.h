// The texts the saver shows: its string table, looked up by number as the
// resource functions of Windows do, the error texts behind the result codes,
// and the texts of its dialogs' controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/result_codes.h"

namespace lumi {

inline constexpr std::uint32_t kStringWebAddress = 3;
inline constexpr std::uint32_t kStringInformation = 129;
inline constexpr std::uint32_t kStringWindowTitle = 1000;
inline constexpr std::uint32_t kStringUnspecifiedError = 2100;

struct StringEntry {
  std::uint32_t id;
  std::u16string_view text;
};

// Every string, for the build that writes them into the Windows
// executable's string table.
std::span<const StringEntry> StringTable();
std::optional<std::u16string_view> FindString(std::uint32_t id);

// As LoadStringW: copies at most capacity - 1 characters and a terminator
// into `buffer` and returns the number of characters copied; 0 (and an empty
// buffer, when there is room) for an unknown id.
std::size_t LoadString(std::uint32_t id, char16_t* buffer, std::size_t capacity);

// The buffer the host shows error texts from.
inline constexpr std::size_t kErrorTextCapacity = 512;

// Loads the text of `code` (string 2100 for codes without one of their own)
// and returns true only when the code has a text other than 2100's.
bool LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity);
bool LookUpErrorText(HResult code, std::u16string& text);

// The dialogs and their controls. Control 0 is the dialog's own caption,
// -1 a group box or label without an id of its own; list entries of one
// control follow each other in index order.
inline constexpr int kDialogConfiguration = 106;
inline constexpr int kDialogDisplaySettings = 200;
inline constexpr int kDialogSoundSettings = 2214;
inline constexpr int kControlCaption = 0;
inline constexpr int kControlUnnamed = -1;

struct DialogText {
  int dialog;
  int control;
  std::u16string_view text;
};

std::span<const DialogText> DialogTexts();
// The first text of a named control.
std::optional<std::u16string_view> FindDialogText(int dialog, int control);

}  // namespace lumi
