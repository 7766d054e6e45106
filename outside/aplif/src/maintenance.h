// Page counters behind the maintenance warnings, kept per scanner in
// AplDevice.ini beside ScanSet.ini:
//   [Scanner<id>]  <Item>=pages since the item was last done
//                  <Item>Gen=how many times it was done (counter generation)
// with <Item> one of CleanRoller, ReplaceRoller, FrReplaceLamp,
// BkReplaceLamp, FrCleanPlate, BkCleanPlate.
#pragma once

#include <cstdint>
#include <string>

#include "BelvAplIF.h"
#include "devices.h"

class QWidget;

namespace aplif {

struct PageCounter {
  int32_t pages = 0;       // never negative
  int32_t generation = 0;  // never negative
};

const char* MaintenanceKey(MaintenanceItem item) noexcept;
PageCounter ReadCounter(const std::string& deviceIni, int32_t deviceId, MaintenanceItem item);

// The CheckRollerWarning operation for the device (see BelvAplIF.h).
int32_t CheckMaintenance(const std::string& deviceIni, const DeviceInfo& device, APL_WARNING_TEXTS& texts,
                         QWidget* parent, const std::string& caption);

}  // namespace aplif
