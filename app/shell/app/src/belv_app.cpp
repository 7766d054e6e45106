// CBelvAppApp: the start-up and shutdown sequences.
#include "shell/belv_app.h"

#include <QApplication>

#include "BelvAplIF.h"
#include "model/vexo_file_info.h"
#include "platform/langid.h"
#include "platform/paths.h"
#include "res/resource_module.h"
#include "shell/about_dlg.h"
#include "shell/app_cursors.h"
#include "shell/belv_doc.h"
#include "shell/event_wait.h"
#include "shell/opening_logo_dlg.h"
#include "shell/instance_slot.h"
#include "shell/main_frame.h"
#include "shell/message_presenter.h"
#include "shell/qt_message_box.h"
#include "shell/work_folder.h"

namespace {

constexpr uint32_t kMsgWrongDrive = 0x41;

}  // namespace

CBelvAppApp::CBelvAppApp() : settings_(shell::DefaultAppSettings(0x0409)) {}

CBelvAppApp::~CBelvAppApp() = default;

std::string CBelvAppApp::Title() {
  const std::optional<std::string_view> title = res::EnglishResources().String(res::kIdsAppTitle);
  return title ? std::string(*title) : std::string();
}

int CBelvAppApp::InstanceNumber() const noexcept { return slot_ ? slot_->Number() : shell::kNoInstanceSlot; }

bool CBelvAppApp::InitInstance(const std::vector<std::string>& arguments) {
  // Every message of the program goes through one presenter, parented to
  // the main window once it exists.
  sink_ = std::make_unique<shell::QtMessageBoxSink>([this]() -> QWidget* { return frame_.get(); });
  presenter_ = std::make_unique<shell::TableMessagePresenter>(*sink_);
  shell::SetMessagePresenter(presenter_.get());

  // One instance: another one is brought forward and this one ends.
  const shell::SingleInstanceResult instance = shell::SingleInstanceCheck(instanceSearch);
  atom_ = instance.atom;
  if (instance.decision == shell::StartupDecision::kAnotherInstance) return false;

  logo_ = std::make_unique<shell::COpeningLogoDlg>();
  logo_->Open();
  shell::WaitWithEventsTurning(logoTime);

  const std::string program = platform::ProgramFolder();
  appDataIni_ = shell::AppDataIniPath();

  langId_ = platform::UserDefaultLangId();
  language_ = shell::ChooseLanguage(langId_);
  const shell::LanguageSetup languageSetup = shell::ApplyLanguageChoice(program, language_);
  resourceLibraryLoaded_ = languageSetup.resourceLibraryLoaded;
  helpFilePath_ = languageSetup.helpFilePath;

  if (!shell::CheckProgramLocation(program)) {
    shell::Messages().ShowMessage(kMsgWrongDrive, false);
    return false;
  }

  slot_ = std::make_unique<shell::InstanceSlot>();

  settings_ = shell::ReadAppSettings(appDataIni_, settings_, langId_);
  shell::CreateImageFolder();
  workFolder_ = shell::ChooseWorkFolder(settings_.imageTempPath);

  CVEXOFileInfo& model = FileInfo();
  model.SetWorkFolder(workFolder_);
  model.SetInstance(InstanceNumber());
  model.DeleteLeftovers();

  cursors_ = std::make_unique<shell::CAppCursors>();

  cmdLine_.ParseCommandLine(arguments);
  if (const std::optional<shell::CmdLineScanStart> scan = shell::CmdLineStartupScan(cmdLine_)) {
    cmdScanSettingName = scan->scanSettingName;
    cmdJobSettingName = scan->jobSettingName;
    settings_.jobMode = scan->jobMode;
  }

  hooks_.Load(program + "ExtFunc.ini");

  doc_ = std::make_unique<CBelvAppDoc>(model);
  frame_ = std::make_unique<CMainFrame>(*this);
  if (!frame_->Create()) {
    frame_.reset();
    return false;
  }
  frame_->show();
  frame_->Interface()->ownerWindow = frame_->WindowId();
  logo_.reset();
  startupCompleted_ = true;
  return true;
}

void CBelvAppApp::ShowAbout() { shell::ShowAboutBox(langId_, frame_.get()); }

int CBelvAppApp::ExitInstance() {
  CAplIFData* aplif = frame_ ? frame_->Interface() : nullptr;
  if (aplif) {
    char name[APLIF_NAME_SIZE] = {};
    if (aplif->GetCurScannerName(name, sizeof name) >= 0) settings_.scannerName = name;
    int32_t status = 0;
    aplif->ExitInstance(&status);
  }
  hooks_.Unload();
  if (startupCompleted_) shell::WriteAppSettings(appDataIni_, settings_, workFolder_);
  slot_.reset();
  frame_.reset();
  if (resourceLibraryLoaded_) res::SetCurrentResources(nullptr);
  // An early exit keeps the atom, as a crashed instance would.
  if (startupCompleted_ && atom_ != 0) shell::DeleteInstanceAtom(atom_);
  logo_.reset();
  shell::SetMessagePresenter(nullptr);
  return 0;
}
