#include "instance.h"

namespace aplif {

Instance& State() noexcept {
  static Instance instance;
  return instance;
}

std::string& HelpPath() noexcept {
  static std::string path;
  return path;
}

int32_t StoreScan(Instance& inst) {
  int error = 0;
  inst.scanDirty = !SaveScanSettings(inst.scanIni, inst.store, &error);
  if (!inst.scanDirty) return APLIF_OK;
  inst.lastError = error;
  return APLIF_ERR_WRITE;
}

int32_t StoreJob(Instance& inst) {
  int error = 0;
  inst.jobDirty = !SaveJobSettings(inst.jobIni, inst.store, &error);
  if (!inst.jobDirty) return APLIF_OK;
  inst.lastError = error;
  return APLIF_ERR_WRITE;
}

}  // namespace aplif
