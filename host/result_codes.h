// Result codes in the HRESULT convention: negative is failure.
#pragma once

#include <cstdint>

namespace lumi {

using HResult = std::int32_t;

constexpr HResult MakeResult(std::uint32_t bits) { return static_cast<HResult>(bits); }
constexpr bool Failed(HResult result) { return result < 0; }

inline constexpr HResult kSuccess = 0;
inline constexpr HResult kErrorUnspecified = MakeResult(0x80004005);  // E_FAIL
inline constexpr HResult kErrorOutOfMemory = MakeResult(0x8007000E);  // E_OUTOFMEMORY
inline constexpr HResult kErrorOutOfVideoMemory = MakeResult(0x8876017C);  // D3DERR_OUTOFVIDEOMEMORY

// The host's own codes.
inline constexpr HResult kErrorNoDirect3D = MakeResult(0x82000001);
inline constexpr HResult kErrorNoCompatibleDevices = MakeResult(0x82000003);
inline constexpr HResult kErrorNoHardwareDevice = MakeResult(0x82000005);
inline constexpr HResult kErrorHardwareLacksFeatures = MakeResult(0x82000006);
inline constexpr HResult kErrorCannotInitialize = MakeResult(0x82000007);
inline constexpr HResult kErrorHardwareLacksFeaturesInMode = MakeResult(0x82000009);
inline constexpr HResult kErrorMediaMissing = MakeResult(0x8200000B);
inline constexpr HResult kErrorDeviceResetFailed = MakeResult(0x8200000C);
inline constexpr HResult kErrorDeviceObjectsFailed = MakeResult(0x8200000D);
inline constexpr HResult kErrorCannotCreateDevice = MakeResult(0x8200000E);
inline constexpr HResult kErrorNoPreview = MakeResult(0x8200000F);

}  // namespace lumi
