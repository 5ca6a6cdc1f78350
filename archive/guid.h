// 16-byte identities, stored in documents in the 38-character braced form
// {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumi {

struct GUID {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};

  bool IsZero() const { return *this == GUID{}; }
  // The 16 bytes in memory order (data1 to data3 little-endian), as the
  // identity map compares them.
  std::array<uint8_t, 16> Bytes() const;
  friend bool operator==(const GUID&, const GUID&) = default;
  friend std::strong_ordering operator<=>(const GUID& a, const GUID& b) { return a.Bytes() <=> b.Bytes(); }
};

// Upper-case braced form.
std::u16string FormatGuid(const GUID& guid);
// Accepts the braced form in either case; anything else gives no value.
std::optional<GUID> ParseGuid(std::u16string_view text);

}  // namespace lumi
