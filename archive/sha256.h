// SHA-256 of a byte block, as lower-case hex; inspect names blobs by it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lumi {

std::string Sha256Hex(std::span<const uint8_t> data);

}  // namespace lumi
