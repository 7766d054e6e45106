// ScanSettingListDlg and JobScanSettingListDlg: one list dialog over either
// list. Add copies the selected setting under the typed name; Rename and
// Delete act on the selected one; OK makes the selected one current.
#include <QHBoxLayout>
#include <algorithm>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs.h"
#include "settings_store.h"

namespace aplif {
namespace {

class ListDialog : public SettingDialog {
 public:
  ListDialog(SettingStore& work, bool scans, QWidget* parent)
      : SettingDialog(scans ? APL_DLG_SCAN_SETTING_LIST : APL_DLG_JOB_SETTING_LIST,
                      scans ? "ScanSettingListDlg" : "JobScanSettingListDlg",
                      scans ? TextId::kCaptionScanSettingList : TextId::kCaptionJobSettingList, parent),
        work_(work),
        scans_(scans) {
    Body()->addWidget(new QLabel(Text(TextId::kLabelSettings)));
    auto* row = new QHBoxLayout;
    Body()->addLayout(row);
    list_ = Tagged(new QListWidget, APL_IDC_LIST);
    list_->setMinimumSize(260, 180);
    row->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    row->addLayout(side);
    auto* add = Tagged(new QPushButton(Text(TextId::kButtonAdd)), APL_IDC_ADD);
    auto* rename = Tagged(new QPushButton(Text(TextId::kButtonRename)), APL_IDC_RENAME);
    auto* remove = Tagged(new QPushButton(Text(TextId::kButtonDelete)), APL_IDC_DELETE);
    for (QPushButton* b : {add, rename, remove}) {
      b->setAutoDefault(false);
      side->addWidget(b);
    }
    side->addStretch();

    auto* nameRow = new QHBoxLayout;
    Body()->addLayout(nameRow);
    nameRow->addWidget(new QLabel(Text(TextId::kLabelNewName)));
    name_ = Tagged(new QLineEdit, APL_IDC_LIST_NAME);
    nameRow->addWidget(name_, 1);

    Refill(scans_ ? work_.curScan : work_.curJob);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int r) {
      if (r >= 0) name_->setText(ToQ(NameAt(r)));
      SetError({});
    });
    if (list_->currentRow() >= 0) name_->setText(ToQ(NameAt(list_->currentRow())));
    connect(add, &QPushButton::clicked, this, &ListDialog::Add);
    connect(rename, &QPushButton::clicked, this, &ListDialog::Rename);
    connect(remove, &QPushButton::clicked, this, &ListDialog::Remove);
  }

 protected:
  bool Collect() override {
    const int r = list_->currentRow();
    if (r >= 0) (scans_ ? work_.curScan : work_.curJob) = r;
    return true;
  }

 private:
  int Count() const { return static_cast<int>(scans_ ? work_.scans.size() : work_.jobs.size()); }
  const std::string& NameAt(int r) const { return scans_ ? work_.scans[r].name : work_.jobs[r].name; }
  NameProblem Check(const std::string& name, int except) const {
    return scans_ ? work_.CheckScanName(name, except) : work_.CheckJobName(name, except);
  }

  void Refill(int select) {
    list_->clear();
    for (int r = 0; r < Count(); ++r) list_->addItem(ToQ(NameAt(r)));
    if (Count() > 0) list_->setCurrentRow(std::clamp(select, 0, Count() - 1));
  }

  // The typed name when it may name a setting other than except; else empty.
  std::string TypedName(int except) {
    const std::string name = FromQ(name_->text().trimmed());
    const NameProblem problem = Check(name, except);
    if (problem != NameProblem::kNone) {
      SetError(NameProblemText(static_cast<int>(problem), ToQ(name)));
      return {};
    }
    return name;
  }

  void Add() {
    if (Count() >= APLIF_MAX_SETTINGS) return SetError(Text(TextId::kErrTooMany));
    const std::string name = TypedName(-1);
    if (name.empty()) return;
    const int from = list_->currentRow();
    if (scans_) {
      ScanSetting s = from >= 0 ? work_.scans[from] : ScanSetting();
      s.name = name;
      work_.scans.push_back(std::move(s));
    } else {
      JobSetting j = from >= 0 ? work_.jobs[from] : JobSetting();
      j.name = name;
      work_.jobs.push_back(std::move(j));
    }
    SetError({});
    Refill(Count() - 1);
  }

  void Rename() {
    const int r = list_->currentRow();
    if (r < 0) return SetError(Text(TextId::kErrNoSelection));
    const std::string name = TypedName(r);
    if (name.empty()) return;
    if (scans_)
      work_.RenameScan(r, name);
    else
      work_.jobs[r].name = name;
    SetError({});
    Refill(r);
  }

  void Remove() {
    const int r = list_->currentRow();
    if (r < 0) return SetError(Text(TextId::kErrNoSelection));
    if (Count() <= 1) return SetError(Text(TextId::kErrLastSetting));
    if (scans_)
      work_.RemoveScan(r);
    else
      work_.RemoveJob(r);
    SetError({});
    Refill(r);
  }

  SettingStore& work_;
  bool scans_;
  QListWidget* list_;
  QLineEdit* name_;
};

}  // namespace

int32_t RunScanListDialog(Instance& inst) {
  SettingStore work = inst.store;
  ListDialog dialog(work, true, OwnerWidget());
  if (ExecModal(dialog) != QDialog::Accepted) return 0;
  return CommitScanWork(inst, std::move(work));
}

int32_t RunJobListDialog(Instance& inst) {
  SettingStore work = inst.store;
  ListDialog dialog(work, false, OwnerWidget());
  if (ExecModal(dialog) != QDialog::Accepted) return 0;
  return CommitJobWork(inst, std::move(work));
}

}  // namespace aplif
