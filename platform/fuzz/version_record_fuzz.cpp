// libFuzzer target for the version record reader: the ELF section walk on
// arbitrary images, then the text parser and its queries on what it finds,
// and the parser on the raw input too.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/version_record.h"

namespace {

void Exercise(const platform::VersionRecord& record) {
  static constexpr const char* kQueries[] = {
      "\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904B0\\FileVersion",
      "\\StringFileInfo\\040904b0\\ProductName", "\\StringFileInfo\\", "\\StringFileInfo"};
  for (const char* q : kQueries) (void)record.Query(q);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> input(data, size);
  if (auto section = platform::FindVersionSection(input)) {
    if (auto record = platform::ParseVersionRecord(*section)) Exercise(*record);
  }
  if (auto record = platform::ParseVersionRecord(input)) Exercise(*record);
  return 0;
}
