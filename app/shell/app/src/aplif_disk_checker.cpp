#include "shell/aplif_disk_checker.h"

#include <cstring>

#include "BelvAplIF.h"

namespace shell {
namespace {

// A root that does not fit the record's field is no root at all: the
// interface then checks nothing there rather than a cut path.
void CopyRoot(char (&field)[512], const std::string& root) {
  if (root.size() < sizeof field) std::memcpy(field, root.c_str(), root.size() + 1);
}

}  // namespace

int AplIFDiskChecker::CheckDiskFree(const std::string& sourceDrive, const std::string& workDrive, uint64_t estimate,
                                    uint64_t threshold) {
  if (!aplif_) return 1;
  APL_DISK_CHK_PARAM param;
  aplif_->InitDiskChkParam(&param);
  param.threshold = threshold;
  param.expectedSize1 = estimate;
  CopyRoot(param.root1, sourceDrive);
  CopyRoot(param.workRoot, workDrive);
  return aplif_->CheckDiskFree(&param) == 1 ? 1 : 0;
}

}  // namespace shell
