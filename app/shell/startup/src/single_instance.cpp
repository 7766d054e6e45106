// SingleInstanceCheck: the instance atom and the window search.
#include "shell/single_instance.h"

#include <algorithm>
#include <thread>

#include "platform/window_registry.h"
#include "res/resource_module.h"

namespace shell {

std::string ApplicationTitle() {
  std::optional<std::string_view> title = res::EnglishResources().String(res::kIdsAppTitle);
  return title ? std::string(*title) : std::string();
}

SingleInstanceResult SingleInstanceCheck(const SingleInstanceOptions& options) {
  return SingleInstanceCheck(ApplicationTitle(), options);
}

SingleInstanceResult SingleInstanceCheck(std::string_view title, const SingleInstanceOptions& options) {
  SingleInstanceResult result;
  result.atomName = std::string(title);
  if (title.empty()) return result;

  result.atom = platform::GlobalFindAtom(title);
  if (result.atom == 0) {
    // Failing to add it only weakens the rule for a later instance; this one
    // may start.
    result.atom = platform::GlobalAddAtom(title);
    return result;
  }
  result.atomExisted = true;

  const int rounds = std::max(options.rounds, 0);
  const auto interval = std::max(options.interval, std::chrono::milliseconds(0));
  for (int round = 0; round < rounds; ++round) {
    std::this_thread::sleep_for(interval);
    ++result.roundsSearched;
    platform::WindowEntry found;
    if (!platform::FindWindowByTitle(title, &found)) continue;
    result.broughtForward = platform::RequestBringForward(found);
    result.decision = StartupDecision::kAnotherInstance;
    return result;
  }
  return result;  // a stale atom, left by an instance that ended without deleting it
}

bool DeleteInstanceAtom(platform::Atom atom) noexcept {
  if (atom == 0) return true;
  try {
    return platform::GlobalDeleteAtom(atom) == 0;
  } catch (...) {
    return false;
  }
}

}  // namespace shell
