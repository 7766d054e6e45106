// ScanSettingForAPL and JobScanSetting: editors of the current scan setting
// and the current file naming setting.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "devices.h"
#include "dialogs.h"
#include "settings_store.h"

namespace aplif {
namespace {

QString PaperText(int32_t paper, int32_t unit) {
  const PaperSize size = PaperSizeOf(paper);
  auto number = [unit](int32_t tenthsMm) {
    return unit == APL_UNIT_INCH ? QString::number(tenthsMm / 254.0, 'f', 2) : QString::number(tenthsMm / 10.0, 'g', 5);
  };
  return Text(TextId::kPaperWithSize)
      .arg(Text(TextId::kPaperFirst, paper), number(size.width), number(size.length), Text(TextId::kUnitFirst, unit));
}

void FillPapers(QComboBox* box, int32_t unit) {
  const int selected = box->currentIndex();
  box->clear();
  for (int p = 0; p < kPaperCount; ++p) box->addItem(PaperText(p, unit));
  box->setCurrentIndex(selected);
}

QComboBox* UnitCombo(int32_t unit) {
  auto* box = Tagged(new QComboBox, APL_IDC_UNIT);
  box->addItem(Text(TextId::kUnitFirst, APL_UNIT_MM));
  box->addItem(Text(TextId::kUnitFirst, APL_UNIT_INCH));
  box->setCurrentIndex(unit);
  return box;
}

QLineEdit* NameEdit(const std::string& name) {
  auto* edit = Tagged(new QLineEdit(ToQ(name)), APL_IDC_NAME);
  edit->setMinimumWidth(240);
  return edit;
}

class ScanSettingDialog : public SettingDialog {
 public:
  ScanSettingDialog(SettingStore& work, const DeviceInfo* device, QWidget* parent)
      : SettingDialog(APL_DLG_SCAN_SETTING, "ScanSettingForAPL", TextId::kCaptionScanSetting, parent), work_(work) {
    const ScanSetting& s = work_.scans[work_.curScan];
    auto* form = new QFormLayout;
    Body()->addLayout(form);
    name_ = NameEdit(s.name);
    connect(name_, &QLineEdit::textChanged, this, [this] { SetError({}); });
    form->addRow(Text(TextId::kLabelName), name_);

    imageType_ = Tagged(new QComboBox, APL_IDC_IMAGE_TYPE);
    for (int t = 0; t < kImageTypeCount; ++t) imageType_->addItem(Text(TextId::kImageTypeFirst, t));
    imageType_->setCurrentIndex(s.imageType);
    form->addRow(Text(TextId::kLabelImageType), imageType_);

    resolution_ = Tagged(new QSpinBox, APL_IDC_RESOLUTION);
    resolution_->setRange(device ? device->minDpi : kMinResolution, device ? device->maxDpi : kMaxResolution);
    resolution_->setSingleStep(50);
    resolution_->setSuffix(Text(TextId::kSuffixDpi));
    resolution_->setValue(s.resolution);
    form->addRow(Text(TextId::kLabelResolution), resolution_);

    paper_ = Tagged(new QComboBox, APL_IDC_PAPER);
    FillPapers(paper_, work_.unit);
    paper_->setCurrentIndex(s.paper);
    form->addRow(Text(TextId::kLabelPaper), paper_);

    duplex_ = Tagged(new QCheckBox(Text(TextId::kLabelDuplex)), APL_IDC_DUPLEX);
    duplex_->setChecked(s.duplex);
    duplex_->setEnabled(!device || device->duplex);
    form->addRow(QString(), duplex_);

    unit_ = UnitCombo(work_.unit);
    connect(unit_, &QComboBox::currentIndexChanged, this, [this](int unit) { FillPapers(paper_, unit); });
    form->addRow(Text(TextId::kLabelUnit), unit_);
  }

 protected:
  bool Collect() override {
    const std::string name = FromQ(name_->text().trimmed());
    const NameProblem problem = work_.CheckScanName(name, work_.curScan);
    if (problem != NameProblem::kNone) {
      SetError(NameProblemText(static_cast<int>(problem), ToQ(name)));
      return false;
    }
    work_.RenameScan(work_.curScan, name);
    ScanSetting& s = work_.scans[work_.curScan];
    s.imageType = imageType_->currentIndex();
    s.resolution = resolution_->value();
    s.paper = paper_->currentIndex();
    s.duplex = duplex_->isEnabled() ? duplex_->isChecked() : s.duplex;
    work_.unit = unit_->currentIndex();
    return true;
  }

 private:
  SettingStore& work_;
  QLineEdit* name_;
  QComboBox* imageType_;
  QSpinBox* resolution_;
  QComboBox* paper_;
  QCheckBox* duplex_;
  QComboBox* unit_;
};

class JobSettingDialog : public SettingDialog {
 public:
  JobSettingDialog(SettingStore& work, QWidget* parent)
      : SettingDialog(APL_DLG_JOB_SETTING, "JobScanSetting", TextId::kCaptionJobSetting, parent), work_(work) {
    const JobSetting& j = work_.jobs[work_.curJob];
    auto* form = new QFormLayout;
    Body()->addLayout(form);
    name_ = NameEdit(j.name);
    connect(name_, &QLineEdit::textChanged, this, [this] { SetError({}); });
    form->addRow(Text(TextId::kLabelName), name_);

    prefix_ = Tagged(new QLineEdit(ToQ(j.filePrefix)), APL_IDC_FILE_PREFIX);
    connect(prefix_, &QLineEdit::textChanged, this, [this] { SetError({}); });
    form->addRow(Text(TextId::kLabelFilePrefix), prefix_);

    digits_ = Tagged(new QSpinBox, APL_IDC_DIGITS);
    digits_->setRange(kMinDigits, kMaxDigits);
    digits_->setValue(j.digits);
    form->addRow(Text(TextId::kLabelDigits), digits_);

    pages_ = Tagged(new QSpinBox, APL_IDC_PAGES_PER_FILE);
    pages_->setRange(0, kMaxPagesPerFile);
    pages_->setSpecialValueText(Text(TextId::kPagesAtControlSheets));
    pages_->setValue(j.pagesPerFile);
    form->addRow(Text(TextId::kLabelPagesPerFile), pages_);

    const int32_t own = work_.OwnScanOfCurrentJob();
    useOwn_ = Tagged(new QCheckBox(Text(TextId::kLabelUseOwnSetting)), APL_IDC_USE_OWN_SETTING);
    useOwn_->setChecked(own >= 0);
    form->addRow(QString(), useOwn_);
    ownSetting_ = Tagged(new QComboBox, APL_IDC_OWN_SETTING);
    for (const ScanSetting& s : work_.scans) ownSetting_->addItem(ToQ(s.name));
    ownSetting_->setCurrentIndex(own >= 0 ? own : work_.curScan);
    ownSetting_->setEnabled(own >= 0);
    connect(useOwn_, &QCheckBox::toggled, ownSetting_, &QWidget::setEnabled);
    form->addRow(Text(TextId::kLabelOwnSetting), ownSetting_);
  }

 protected:
  bool Collect() override {
    const std::string name = FromQ(name_->text().trimmed());
    const NameProblem problem = work_.CheckJobName(name, work_.curJob);
    if (problem != NameProblem::kNone) {
      SetError(NameProblemText(static_cast<int>(problem), ToQ(name)));
      return false;
    }
    const std::string prefix = FromQ(prefix_->text().trimmed());
    if (prefix.size() > kMaxNameBytes || HasFileNameBreaker(prefix)) {
      SetError(Text(TextId::kErrPrefixCharacter));
      return false;
    }
    JobSetting& j = work_.jobs[work_.curJob];
    j.name = name;
    j.filePrefix = prefix;
    j.digits = digits_->value();
    j.pagesPerFile = pages_->value();
    const int own = ownSetting_->currentIndex();
    j.readCond = useOwn_->isChecked() && own >= 0 ? work_.scans[own].name : std::string();
    return true;
  }

 private:
  SettingStore& work_;
  QLineEdit* name_;
  QLineEdit* prefix_;
  QSpinBox* digits_;
  QSpinBox* pages_;
  QCheckBox* useOwn_;
  QComboBox* ownSetting_;
};

}  // namespace

int32_t RunScanSettingDialog(Instance& inst) {
  if (inst.store.ScanInForce(false) < 0) return APLIF_ERR_NOT_FOUND;
  SettingStore work = inst.store;
  ScanSettingDialog dialog(work, DeviceRegistry::Instance().Current(), OwnerWidget());
  if (ExecModal(dialog) != QDialog::Accepted) return 0;
  return CommitScanWork(inst, std::move(work));
}

int32_t RunJobSettingDialog(Instance& inst) {
  if (!DeviceRegistry::Instance().Current()) return APLIF_ERR_NO_SCANNER;
  if (inst.store.jobs.empty()) return APLIF_ERR_NOT_FOUND;
  SettingStore work = inst.store;
  JobSettingDialog dialog(work, OwnerWidget());
  if (ExecModal(dialog) != QDialog::Accepted) return 0;
  return CommitJobWork(inst, std::move(work));
}

}  // namespace aplif
