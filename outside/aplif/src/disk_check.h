// Free space checks of the disk check parameter record.
#pragma once

#include <cstdint>

#include "BelvAplIF.h"

namespace aplif {

// Whether every root string ends within its field.
bool RootsTerminated(const APL_DISK_CHK_PARAM& param) noexcept;

// The CheckDiskFree rule (see BelvAplIF.h) on validated parameters:
// 1 enough, 0 not enough, APLIF_ERR_DISK_QUERY.
int32_t CheckFreeSpace(const APL_DISK_CHK_PARAM& param);

}  // namespace aplif
