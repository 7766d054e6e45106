// CVexoDIB: error reporting of the image object.
#include "model/vexo_dib.h"

#include "model/debug_trace.h"
#include "shell/message_presenter.h"

static_assert(sizeof(CVexoDIB) == sizeof(CDIB), "CVexoDIB adds no data");

DibErrorMessage CVexoDIB::MapError(int e) noexcept {
  if (e > 40000) return {0x60000000u + uint32_t(e - 40000), kTraceImageError};
  if (e > 30000) return {0x40000000u + uint32_t(e - 30000), kTraceFileError};
  if (IsMemError(e)) return {kMsgNoMemory, kTraceMemError};
  return {kMsgUnknown, kTraceMemError};
}

uint32_t CVexoDIB::ShowError() noexcept {
  const DibErrorMessage m = MapError(GetErrorInformation());
  model::DebugTrace(m.trace);
  shell::Messages().ShowMessage(m.code, false);
  return m.code;
}

int CVexoDIB::LoadForDisplay(const std::string& path, int page) noexcept {
  if (LoadDIBObject(path, page)) return 1;
  shell::Messages().ShowMessage(kMsgOpenFailed, false);
  ClearDIBObject();
  return 0;
}
