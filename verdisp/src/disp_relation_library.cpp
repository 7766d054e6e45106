// DispRelationLibrary: the one export of ZoVerDisp.
#include <QApplication>
#include <memory>

#include "verdisp_private.h"

namespace {

// A caller without an application object (a plain C program) still gets
// its dialog: the call makes one for its own duration.
std::unique_ptr<QApplication> EnsureApplication() {
  if (QCoreApplication::instance()) return nullptr;
  static int argc = 1;
  static char name[] = "ZoVerDisp";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}

int32_t ShowDialog(std::span<const RELATION_LIB_INFO> records, uint16_t langId) {
  const verdisp::LanguageResources* texts = verdisp::FindLanguage(langId);
  if (!texts) return ZOVERDISP_NO_DIALOG;
  std::unique_ptr<QApplication> ownApp = EnsureApplication();
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return ZOVERDISP_NO_DIALOG;
  verdisp::CDllVersionDlg dialog(*texts, records);
  dialog.exec();
  return ZOVERDISP_OK;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t DispRelationLibrary(int32_t show,
                                                                              RELATION_LIB_INFO* records,
                                                                              int32_t count, int32_t langId) {
  if (!records) return ZOVERDISP_NULL_RECORDS;
  std::span<RELATION_LIB_INFO> list(records, count > 0 ? std::size_t(count) : 0);
  try {
    verdisp::FillVersions(list);
  } catch (...) {
    return ZOVERDISP_NO_DIALOG;
  }
  if (show != 1) return ZOVERDISP_OK;
  try {
    return ShowDialog(list, uint16_t(langId & 0xFFFF));
  } catch (...) {
    return ZOVERDISP_NO_DIALOG;
  }
}
