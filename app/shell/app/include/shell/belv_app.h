// CBelvAppApp: the application object. It runs the start-up sequence
// (InitInstance) and the shutdown sequence (ExitInstance) and owns the
// settings, the command line, the extension hooks, the instance slot, the
// document and the main frame. main() creates the QApplication, calls
// InitInstance, runs the event loop and calls ExitInstance.
//
// GUI thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/app_settings.h"
#include "shell/belv_cmd_line.h"
#include "shell/ext_hooks.h"
#include "shell/language_choice.h"
#include "shell/single_instance.h"

class CBelvAppDoc;
class CMainFrame;

namespace shell {
class CAppCursors;
class COpeningLogoDlg;
class InstanceSlot;
class TableMessagePresenter;
class QtMessageBoxSink;
}

class CBelvAppApp {
 public:
  CBelvAppApp();
  ~CBelvAppApp();
  CBelvAppApp(const CBelvAppApp&) = delete;
  CBelvAppApp& operator=(const CBelvAppApp&) = delete;

  // arguments: the program's arguments as UTF-8, the program first.
  bool InitInstance(const std::vector<std::string>& arguments);
  int ExitInstance();

  shell::AppSettings& Settings() noexcept { return settings_; }
  CBelvCmdLine& CommandLine() noexcept { return cmdLine_; }
  shell::CExtHooks& Hooks() noexcept { return hooks_; }
  CBelvAppDoc& Document() noexcept { return *doc_; }
  CMainFrame* Frame() noexcept { return frame_.get(); }
  const std::string& WorkFolder() const noexcept { return workFolder_; }
  const std::string& HelpFilePath() const noexcept { return helpFilePath_; }
  const std::string& AppDataIni() const noexcept { return appDataIni_; }
  const shell::LanguageChoice& Language() const noexcept { return language_; }
  uint16_t LangId() const noexcept { return langId_; }
  int InstanceNumber() const noexcept;
  bool StartupCompleted() const noexcept { return startupCompleted_; }
  // The application title from the program's own resources (string 57344).
  static std::string Title();

  // How long start-up shows the logo and searches for another instance
  // (tests shorten them).
  std::chrono::milliseconds logoTime{2000};
  shell::SingleInstanceOptions instanceSearch;
  const shell::CAppCursors* Cursors() const noexcept { return cursors_.get(); }
  // The About command.
  void ShowAbout();

  // The scan and job setting names the command line asked for (start-up
  // copies them; the frame clears them after selecting them).
  std::string cmdScanSettingName;
  std::string cmdJobSettingName;

 private:
  shell::AppSettings settings_;
  CBelvCmdLine cmdLine_;
  shell::CExtHooks hooks_;
  std::unique_ptr<shell::InstanceSlot> slot_;
  std::unique_ptr<shell::COpeningLogoDlg> logo_;
  std::unique_ptr<shell::CAppCursors> cursors_;
  uint16_t atom_ = 0;
  std::unique_ptr<CBelvAppDoc> doc_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<shell::QtMessageBoxSink> sink_;
  std::unique_ptr<shell::TableMessagePresenter> presenter_;
  shell::LanguageChoice language_;
  std::string workFolder_ = "/tmp/";
  std::string helpFilePath_;
  std::string appDataIni_;
  std::string atomName_;
  uint16_t langId_ = 0x0409;
  bool resourceLibraryLoaded_ = false;
  bool startupCompleted_ = false;
};
