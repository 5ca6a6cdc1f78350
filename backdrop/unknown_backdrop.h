// A backdrop of a class this program does not know: it keeps the record's
// bytes to write them back and shows no picture, so its slide draws black
// with its objects over it.
#pragma once

#include "archive/unknown_record.h"
#include "backdrop/light_2d.h"

namespace lumi {

class UnknownBackdrop final : public DS_2D_Light, public UnknownRecord {
  LUMI_UNKNOWN_CLASS
};

}  // namespace lumi
