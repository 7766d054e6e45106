// Global atoms: names that survive the process (and a crash) until deleted.
// One file per atom in $XDG_RUNTIME_DIR/vistel-atoms/ (else
// /tmp/vistel-atoms-<uid>/), named by the lower-cased string.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

using Atom = uint16_t;  // 0 = none

Atom GlobalFindAtom(std::string_view name);
Atom GlobalAddAtom(std::string_view name);
// Deletes the atom; returns 0 on success, the atom on failure.
Atom GlobalDeleteAtom(Atom atom);

}  // namespace platform
