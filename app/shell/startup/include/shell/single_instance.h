// The single-instance rule of start-up: a global atom named by the
// application title, and a search for a visible window of that title that
// another instance shows. Plain C++ (no event loop needed).
//
//   ApplicationTitle      string 57344 of the program's own resources
//   SingleInstanceCheck   the check; keeps the atom for shutdown
//   DeleteInstanceAtom    shutdown: removes the atom
//
// Runs on the GUI thread before any window exists; it blocks while it waits.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "platform/atoms.h"

namespace shell {

// The application title, always from the program's own English resources:
// the check runs before a language library is loaded, and the main window
// takes the same string, so every instance looks for one and the same name.
std::string ApplicationTitle();

struct SingleInstanceOptions {
  int rounds = 8;                                // window searches when the atom exists
  std::chrono::milliseconds interval{1000};      // wait before each search
};

enum class StartupDecision {
  kGoOn,             // this is the only instance (or the atom was stale)
  kAnotherInstance,  // another instance was brought forward: end start-up
};

struct SingleInstanceResult {
  StartupDecision decision = StartupDecision::kGoOn;
  // The instance atom: the one found or the one added; 0 when it could not
  // be added. The caller keeps it and deletes it at shutdown only when
  // start-up completed (an early exit leaves it registered).
  platform::Atom atom = 0;
  std::string atomName;     // the title the atom is named by
  bool atomExisted = false;  // the atom was there before the check
  int roundsSearched = 0;    // window searches made
  // kAnotherInstance only: the other instance confirmed the request.
  bool broughtForward = false;
};

// When no atom of the title exists, adds it and goes on at once. Otherwise
// waits options.interval and searches the window registry for a live,
// visible window whose non-empty title equals the title ignoring case, up
// to options.rounds times; on a match asks that window's owner to restore
// it (when minimized) or raise and activate it, and the result is
// kAnotherInstance whether or not the owner confirmed. A stale atom (no
// window in any round) lets start-up go on. rounds < 0 counts as 0, a
// negative interval as 0.
SingleInstanceResult SingleInstanceCheck(const SingleInstanceOptions& options = {});
// The same for a title of the caller's choosing (empty: no atom, go on).
SingleInstanceResult SingleInstanceCheck(std::string_view title, const SingleInstanceOptions& options);

// Shutdown step for a completed start-up: deletes the atom. True when it is
// gone (or was 0).
bool DeleteInstanceAtom(platform::Atom atom) noexcept;

}  // namespace shell
