#include "disk_check.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/disk.h"

namespace aplif {
namespace {

uint64_t SaturatingAdd(uint64_t a, uint64_t b) noexcept {
  return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

}  // namespace

bool RootsTerminated(const APL_DISK_CHK_PARAM& p) noexcept {
  return std::memchr(p.root1, '\0', sizeof p.root1) && std::memchr(p.root2, '\0', sizeof p.root2) &&
         std::memchr(p.workRoot, '\0', sizeof p.workRoot);
}

int32_t CheckFreeSpace(const APL_DISK_CHK_PARAM& p) {
  struct Need {
    std::string root;
    uint64_t bytes;  // that must be free beyond ("more than") this
  };
  std::vector<Need> needs;
  auto add = [&](const char* root, uint64_t size) {
    if (*root == '\0') return;
    for (Need& n : needs)
      if (n.root == root) {
        n.bytes = SaturatingAdd(n.bytes, size);
        return;
      }
    needs.push_back({root, SaturatingAdd(p.threshold, size)});
  };
  add(p.root1, p.expectedSize1);
  add(p.root2, p.expectedSize2);
  add(p.workRoot, 0);
  for (const Need& n : needs) {
    std::optional<uint64_t> free = platform::FreeDiskBytes(n.root);
    if (!free) return APLIF_ERR_DISK_QUERY;
    if (*free <= n.bytes) return 0;
  }
  return 1;
}

}  // namespace aplif
