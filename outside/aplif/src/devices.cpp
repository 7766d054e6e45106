#include "devices.h"

#include "instance.h"
#include "settings_store.h"

namespace aplif {
namespace {

// Maintenance intervals of the virtual sheet feeder, in pages.
constexpr int32_t kVirtualCleanRollerPages = 5000;
constexpr int32_t kVirtualReplaceRollerPages = 200000;
constexpr int32_t kVirtualLampPages = 100000;
constexpr int32_t kVirtualCleanPlatePages = 2500;

class VirtualSource : public DeviceSource {
 public:
  std::vector<DeviceInfo> Enumerate() override {
    DeviceInfo d;
    d.id = APL_SCANNER_ID_VIRTUAL_FEEDER;
    d.name = "Virtual Sheet Feeder";
    d.minDpi = 50;
    d.maxDpi = 600;
    d.duplex = true;
    d.userFunctions = APLIF_USER_READ_CONDS;
    d.scanModes = 1 | 2 | 4 | 8 | 16;
    d.limits = {kVirtualCleanRollerPages, kVirtualReplaceRollerPages, kVirtualLampPages,
                kVirtualLampPages,        kVirtualCleanPlatePages,    kVirtualCleanPlatePages};
    return {d};
  }
};

}  // namespace

DeviceRegistry& DeviceRegistry::Instance() {
  static DeviceRegistry registry;
  return registry;
}

DeviceRegistry::DeviceRegistry() {
  sources_.push_back(std::make_unique<VirtualSource>());
  Refresh();
  if (!devices_.empty()) SetCurrent(devices_.front().id);
}

void DeviceRegistry::Refresh() {
  std::vector<DeviceInfo> found;
  auto known = [&found](int32_t id) {
    for (const DeviceInfo& d : found)
      if (d.id == id) return true;
    return false;
  };
  for (auto& source : sources_)
    for (DeviceInfo& d : source->Enumerate())
      if (d.id > 0 && !known(d.id)) found.push_back(std::move(d));
  devices_ = std::move(found);
  if (!Find(currentId_)) SetCurrent(0);
}

const DeviceInfo* DeviceRegistry::Find(int32_t id) const noexcept {
  if (id <= 0) return nullptr;
  for (const DeviceInfo& d : devices_)
    if (d.id == id) return &d;
  return nullptr;
}

const DeviceInfo* DeviceRegistry::FindByName(std::string_view name) const noexcept {
  if (name.empty()) return nullptr;
  for (const DeviceInfo& d : devices_)
    if (EqualsIgnoringCase(d.name, name)) return &d;
  return nullptr;
}

bool DeviceRegistry::SetCurrent(int32_t id) noexcept {
  if (id != 0 && !Find(id)) return false;
  currentId_ = id;
  GlobalData().curScannerId = id;
  return true;
}

}  // namespace aplif
