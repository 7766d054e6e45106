// CVexoDIB: the program's image object. It is the image object library's
// CDIB with nothing added but the reporting of its failures: the error of a
// failed call becomes a message code, shown through the message presenter,
// and a trace line.
//
//   e = GetErrorInformation()   message               trace
//   above 40000                 0x60000000 + e−40000  "CVexoDIB:ImgFltError\n"
//   above 30000                 0x40000000 + e−30000  "CVexoDIB:ZoImgFileIOError\n"
//   IsMemError(e)               0x40000100            "CVexoDIB: CDIB MemError\n"
//   otherwise                   0x40000101            "CVexoDIB: CDIB MemError\n"
//
// The first matching row wins. Messages are shown without the code added.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ZoDIBImage.h"

struct DibErrorMessage {
  uint32_t code = 0;
  std::string_view trace;
};

class CVexoDIB : public CDIB {
 public:
  static constexpr uint32_t kMsgOpenFailed = 0x07;    // "Failed to open the file."
  static constexpr uint32_t kMsgNoMemory = 0x40000100;
  static constexpr uint32_t kMsgUnknown = 0x40000101;
  static constexpr std::string_view kTraceImageError = "CVexoDIB:ImgFltError\n";
  static constexpr std::string_view kTraceFileError = "CVexoDIB:ZoImgFileIOError\n";
  static constexpr std::string_view kTraceMemError = "CVexoDIB: CDIB MemError\n";

  // The message and trace line for error e (the table above).
  static DibErrorMessage MapError(int e) noexcept;
  // After a failed call: maps GetErrorInformation(), writes the trace line
  // and shows the message. Returns the message code.
  static uint32_t ShowError() noexcept;

  // Loads a page to be shown. On failure message 7 is shown and the object
  // is cleared.
  int LoadForDisplay(const std::string& path, int page) noexcept;
};
