// Shared parts of the dialogs: the owner window, the busy mark, the frame
// with OK / Cancel / Help and the error line.
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "dialogs.h"
#include "platform/message_channel.h"
#include "settings_store.h"

namespace aplif {
namespace {

bool g_dialogOpen = false;

}  // namespace

bool HaveGui() noexcept { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

bool DialogOpen() noexcept { return g_dialogOpen; }

QWidget* OwnerWidget() {
  const uint32_t owner = GlobalData().ownerWindow;
  return owner ? QWidget::find(static_cast<WId>(owner)) : nullptr;
}

std::string MessageCaption(TextId fallback) {
  const std::string& title = State().title;
  return title.empty() ? FromQ(Text(fallback)) : title;
}

void PostToOwner(uint32_t message, uintptr_t wParam) {
  const uint32_t owner = GlobalData().ownerWindow;
  if (owner) platform::PostWindowMessage(owner, message, wParam, 0);
}

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

QString NameProblemText(int problem, const QString& name) {
  switch (static_cast<NameProblem>(problem)) {
    case NameProblem::kEmpty: return Text(TextId::kErrNameEmpty);
    case NameProblem::kTooLong: return Text(TextId::kErrNameTooLong);
    case NameProblem::kBadCharacter: return Text(TextId::kErrNameCharacter);
    case NameProblem::kDuplicate: return Text(TextId::kErrNameDuplicate).arg(name);
    case NameProblem::kNone: break;
  }
  return {};
}

int32_t CommitScanWork(Instance& inst, SettingStore&& work) {
  const bool jobsFollowed = work.jobs != inst.store.jobs;
  inst.store = std::move(work);
  int32_t result = StoreScan(inst);
  if (jobsFollowed && StoreJob(inst) != APLIF_OK) result = APLIF_ERR_WRITE;
  PostToOwner(APLIF_MSG_SCAN_SETTINGS_CHANGED, static_cast<uintptr_t>(inst.store.curScan));
  if (jobsFollowed) PostToOwner(APLIF_MSG_FILE_NAMING_CHANGED, static_cast<uintptr_t>(inst.store.curJob));
  return result == APLIF_OK ? 1 : result;
}

int32_t CommitJobWork(Instance& inst, SettingStore&& work) {
  inst.store = std::move(work);
  const int32_t result = StoreJob(inst);
  PostToOwner(APLIF_MSG_FILE_NAMING_CHANGED, static_cast<uintptr_t>(inst.store.curJob));
  return result == APLIF_OK ? 1 : result;
}

BusyMark::BusyMark() noexcept { g_dialogOpen = true; }
BusyMark::~BusyMark() { g_dialogOpen = false; }

int ExecModal(QDialog& dialog) {
  BusyMark busy;
  return dialog.exec();
}

SettingDialog::SettingDialog(int dialogId, const char* objectName, TextId caption, QWidget* parent)
    : QDialog(parent), body_(new QVBoxLayout), error_(new QLabel), buttons_(new QDialogButtonBox) {
  setObjectName(QString::fromLatin1(objectName));
  setProperty("ctrlId", dialogId);
  setWindowTitle(Text(caption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body_);
  Tagged(error_, APL_IDC_ERROR);
  error_->setWordWrap(true);
  error_->setStyleSheet(QStringLiteral("color: #b00020;"));
  error_->hide();
  layout->addWidget(error_);

  auto* ok = Tagged(buttons_->addButton(Text(TextId::kButtonOk), QDialogButtonBox::AcceptRole), APL_IDC_OK);
  ok->setDefault(true);
  Tagged(buttons_->addButton(Text(TextId::kButtonCancel), QDialogButtonBox::RejectRole), APL_IDC_CANCEL);
  const std::string help = HelpPath();
  if (!help.empty()) {
    QPushButton* helpButton =
        Tagged(buttons_->addButton(Text(TextId::kButtonHelp), QDialogButtonBox::HelpRole), APL_IDC_HELP);
    connect(helpButton, &QPushButton::clicked, this,
            [help] { QDesktopServices::openUrl(QUrl::fromLocalFile(ToQ(help))); });
  }
  connect(buttons_, &QDialogButtonBox::accepted, this, &SettingDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &SettingDialog::reject);
  layout->addWidget(buttons_);
}

void SettingDialog::accept() {
  if (Collect()) QDialog::accept();
}

void SettingDialog::SetError(const QString& text) {
  error_->setText(text);
  error_->setVisible(!text.isEmpty());
}

}  // namespace aplif
