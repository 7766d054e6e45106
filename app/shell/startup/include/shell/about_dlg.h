// The About box (dialog 100) and the version display library behind its
// "More..." button.
//
//   VersionDisplayLibrary   ZoVerDisp.so loaded by name, with its entry point
//   CAboutDlg               name, version, copyright, OK and "More..."
//   ShowAboutBox            the About command: load, show modally, free
//
// Runs on the GUI thread.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "ZoVerDisp.h"
#include "shell/language_choice.h"

namespace platform {
class DynamicLibrary;
}

namespace shell {

// The version display library for the life of one About box. Loaded by
// name (the program folder first, then the system's library path); freed
// when the object ends.
class VersionDisplayLibrary {
 public:
  // Loads the library (ZoVerDisp.so unless told otherwise) and looks up
  // DispRelationLibrary in it. A file of that name in the program folder that
  // cannot be loaded does not stop the search on the library path.
  explicit VersionDisplayLibrary(std::string_view name = kVerDispLibrary);
  ~VersionDisplayLibrary();
  VersionDisplayLibrary(const VersionDisplayLibrary&) = delete;
  VersionDisplayLibrary& operator=(const VersionDisplayLibrary&) = delete;

  // Null when the library could not be loaded or lacks the export.
  DispRelationLibraryFn Function() const noexcept { return function_; }

 private:
  std::unique_ptr<platform::DynamicLibrary> library_;
  DispRelationLibraryFn function_ = nullptr;
};

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr uint32_t kDialogId = 100;
  // Control ids (each control carries its id as the "ctrlId" property).
  static constexpr uint32_t kIdcAppName = 1173, kIdcCopyright = 1174, kIdcVersion = 1175,
                            kIdcVersionLabel = 1176, kIdcOk = 1, kIdcMore = 1561;

  // Control 1175 shows the running program's file version ("%d.%d.%d.%d";
  // empty when the program carries no version record). "More..." calls
  // dispRelationLibrary(1, records, their count, langId); with a null
  // function the button is disabled, since there is nothing it could show.
  CAboutDlg(DispRelationLibraryFn dispRelationLibrary, std::vector<RELATION_LIB_INFO> records, int32_t langId,
            QWidget* parent = nullptr);

  // What the last "More..." call returned; nothing before the first.
  std::optional<int32_t> LastMoreResult() const noexcept { return lastMoreResult_; }

 private:
  void OnMore();

  DispRelationLibraryFn dispRelationLibrary_;
  std::vector<RELATION_LIB_INFO> records_;
  int32_t langId_;
  std::optional<int32_t> lastMoreResult_;
};

// The About command: loads the version display library, shows the About
// box modally with the related libraries of the language chosen for the
// user default LANGID userLangId (the one taken at start-up), and frees the
// library once the box is closed.
void ShowAboutBox(uint16_t userLangId, QWidget* parent = nullptr);

}  // namespace shell
