// Registry of the program's top-level windows across processes: each main
// window writes its title, visibility and the path of its local socket into
// $XDG_RUNTIME_DIR/vistel-windows/<pid> (else /tmp/vistel-windows-<uid>/).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct WindowEntry {
  int pid = 0;
  std::string title;
  bool visible = false;
  bool minimized = false;
  std::string socketPath;  // where "bring forward" requests go
};

// The folder of the entries (ends in '/'); it may not exist yet.
std::string WindowRegistryFolder();

// Creates the folder when missing (mode 0700) and checks that it is a real
// folder of this user. Returns the folder, or "" when it cannot be used.
std::string EnsureWindowRegistryFolder();

// Writes (or replaces) this process's entry; entry.pid is ignored, the entry
// is always that of the calling process.
bool RegisterWindow(const WindowEntry& entry);
void UnregisterWindow();

// Live entries (entries of dead processes are skipped and removed), in the
// order most recently registered first.
std::vector<WindowEntry> ListWindows();

// Finds a live, visible window whose non-empty title equals title ignoring
// ASCII case.
bool FindWindowByTitle(std::string_view title, WindowEntry* found);

// Asks the window's owner to restore (when minimized) or raise and activate
// it: sends "raise\n" to entry.socketPath and waits up to a second for
// "ok\n". Returns false when the request could not be delivered or was not
// confirmed.
bool RequestBringForward(const WindowEntry& entry);

}  // namespace platform
