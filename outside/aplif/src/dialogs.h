// The interface's modal dialogs and message boxes. Each works on a copy of
// the settings and hands it back only on OK; while one is open, the
// operations that change settings answer APLIF_ERR_BUSY (DialogOpen()).
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <string>

#include "aplif_resources.h"
#include "instance.h"

class QDialogButtonBox;
class QLabel;
class QVBoxLayout;

namespace aplif {

bool HaveGui() noexcept;
bool DialogOpen() noexcept;
// The owner window as a widget of this process, or null.
QWidget* OwnerWidget();
// Caption of the interface's message boxes: the title given at start-up,
// else the text fallback.
std::string MessageCaption(TextId fallback);
// Posts a message to the owner window; nothing when there is none.
void PostToOwner(uint32_t message, uintptr_t wParam);

// Dialog results: 1 OK (changes stored), 0 cancelled, or an APLIF_ERR_* code.
int32_t RunScanSettingDialog(Instance& inst);
int32_t RunScanListDialog(Instance& inst);
int32_t RunJobSettingDialog(Instance& inst);
int32_t RunJobListDialog(Instance& inst);
int32_t RunScanSelectDialog();
int32_t RunUserReadCondDialog(Instance& inst, int32_t function, int32_t* settingNumber);
int32_t ShowScannerInfo(Instance& inst);

// Shared frame of the setting dialogs: content, an error line, and
// OK / Cancel / Help. accept() takes the values through Collect(), which
// names the problem (and keeps the dialog open) by returning false.
class SettingDialog : public QDialog {
 public:
  SettingDialog(int dialogId, const char* objectName, TextId caption, QWidget* parent);
  void accept() override;

 protected:
  virtual bool Collect() = 0;
  void SetError(const QString& text);
  QVBoxLayout* Body() const { return body_; }

 private:
  QVBoxLayout* body_;
  QLabel* error_;
  QDialogButtonBox* buttons_;
};

// Marks a control with its id.
template <typename W>
W* Tagged(W* widget, int ctrlId) {
  widget->setProperty("ctrlId", ctrlId);
  return widget;
}

QString ToQ(const std::string& s);
std::string FromQ(const QString& s);
QString NameProblemText(int problem, const QString& name);  // problem: NameProblem

// Hands a dialog's accepted copy back: stores the changed files and posts
// the change messages (the file naming one too when a rename or deletion
// of a scan setting followed into the file naming settings). 1 or
// APLIF_ERR_WRITE.
int32_t CommitScanWork(Instance& inst, SettingStore&& work);
int32_t CommitJobWork(Instance& inst, SettingStore&& work);

// Set while a dialog or message box of the interface is open.
class BusyMark {
 public:
  BusyMark() noexcept;
  ~BusyMark();
  BusyMark(const BusyMark&) = delete;
  BusyMark& operator=(const BusyMark&) = delete;
};

// Runs a dialog modally with the busy mark set.
int ExecModal(QDialog& dialog);

}  // namespace aplif
