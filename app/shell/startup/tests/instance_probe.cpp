// A second instance for the single-instance tests: runs the check with the
// rounds and interval given on the command line, prints what it decided and
// how long the check took, and ends as the program would (without starting
// when another instance was found).
//
//   startup_instance_probe <rounds> <interval ms>
//   prints "decision=go-on|another rounds=N forward=0|1 elapsed_ms=N"
//   exit 0: went on; 3: another instance found; 2: bad arguments
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "shell/single_instance.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  shell::SingleInstanceOptions options;
  options.rounds = std::atoi(argv[1]);
  options.interval = std::chrono::milliseconds(std::atoi(argv[2]));
  const auto start = std::chrono::steady_clock::now();
  const shell::SingleInstanceResult result = shell::SingleInstanceCheck(options);
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  const bool another = result.decision == shell::StartupDecision::kAnotherInstance;
  std::printf("decision=%s rounds=%d forward=%d elapsed_ms=%lld\n", another ? "another" : "go-on",
              result.roundsSearched, result.broughtForward ? 1 : 0, static_cast<long long>(elapsed));
  std::fflush(stdout);
  // Start-up did not complete in either case here, so the atom stays.
  return another ? 3 : 0;
}
