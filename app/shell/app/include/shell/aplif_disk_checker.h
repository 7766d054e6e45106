// The working file model's free-space check, answered by the scanner
// interface's CheckDiskFree with the disk check record: the source file's
// root with the estimated size as the first target, the working folder's
// root, and the threshold.
#pragma once

#include "model/vexo_file_info.h"

class CAplIFData;

namespace shell {

class AplIFDiskChecker : public DiskFreeChecker {
 public:
  explicit AplIFDiskChecker(CAplIFData* aplif) noexcept : aplif_(aplif) {}
  int CheckDiskFree(const std::string& sourceDrive, const std::string& workDrive, uint64_t estimate,
                    uint64_t threshold) override;

 private:
  CAplIFData* aplif_;
};

}  // namespace shell
