// The scanners the interface knows and which one is current.
//
// Devices come from sources; today the one source is the built-in virtual
// sheet feeder. A source for devices found at run time (the device access
// library) is added to DeviceRegistry's list and its devices appear after
// Refresh(); nothing else changes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BelvAplIF.h"

namespace aplif {

// Maintenance items, in the order of APL_WARNING_TEXTS.
enum MaintenanceItem : int {
  kCleanRoller = 0,
  kReplaceRoller,
  kFrReplaceLamp,
  kBkReplaceLamp,
  kFrCleanPlate,
  kBkCleanPlate,
  kMaintenanceItemCount
};

struct DeviceInfo {
  int32_t id = 0;  // > 0, unique among the known devices
  std::string name;
  int32_t minDpi = 50;
  int32_t maxDpi = 600;
  bool duplex = false;
  int32_t userFunctions = 0;   // user control sheet functions 1..n
  uint32_t scanModes = 0;      // bits: the scan modes 1, 2, 4, 8, 16
  // Pages after which each maintenance item is due; 0 = the device has no such part.
  std::array<int32_t, kMaintenanceItemCount> limits{};
};

class DeviceSource {
 public:
  virtual ~DeviceSource() = default;
  virtual std::vector<DeviceInfo> Enumerate() = 0;
};

class DeviceRegistry {
 public:
  // The process-wide registry; starts with the built-in source enumerated
  // and its first device current.
  static DeviceRegistry& Instance();

  void Refresh();
  const std::vector<DeviceInfo>& Devices() const noexcept { return devices_; }
  const DeviceInfo* Find(int32_t id) const noexcept;
  const DeviceInfo* FindByName(std::string_view name) const noexcept;
  const DeviceInfo* Current() const noexcept { return Find(currentId_); }
  // Makes a known device current (0 = none); false for an unknown id. The
  // global object's scanner id follows.
  bool SetCurrent(int32_t id) noexcept;

 private:
  DeviceRegistry();
  std::vector<std::unique_ptr<DeviceSource>> sources_;
  std::vector<DeviceInfo> devices_;
  int32_t currentId_ = 0;
};

}  // namespace aplif
