// ScanSelectDlg, DispUserReadCond and PreCheckScannerBaseInfo.
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QStringList>
#include <QVBoxLayout>

#include "devices.h"
#include "dialogs.h"
#include "maintenance.h"
#include "platform/message_box.h"
#include "settings_store.h"

namespace aplif {
namespace {

class ScanSelectDialog : public SettingDialog {
 public:
  explicit ScanSelectDialog(QWidget* parent)
      : SettingDialog(APL_DLG_SCAN_SELECT, "ScanSelectDlg", TextId::kCaptionScanSelect, parent) {
    Body()->addWidget(new QLabel(Text(TextId::kLabelScanners)));
    list_ = Tagged(new QListWidget, APL_IDC_LIST);
    list_->setMinimumSize(260, 120);
    Body()->addWidget(list_);
    const DeviceRegistry& devices = DeviceRegistry::Instance();
    const DeviceInfo* current = devices.Current();
    for (const DeviceInfo& d : devices.Devices()) {
      auto* item = new QListWidgetItem(ToQ(d.name), list_);
      item->setData(Qt::UserRole, d.id);
      if (current && current->id == d.id) list_->setCurrentItem(item);
    }
  }

 protected:
  bool Collect() override {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) {
      SetError(Text(TextId::kErrNoSelection));
      return false;
    }
    chosen_ = item->data(Qt::UserRole).toInt();
    return true;
  }

 public:
  int32_t chosen_ = 0;

 private:
  QListWidget* list_;
};

class UserReadCondDialog : public SettingDialog {
 public:
  UserReadCondDialog(SettingStore& work, int32_t function, QWidget* parent)
      : SettingDialog(APL_DLG_USER_READ_COND, "DispUserReadCond", TextId::kCaptionUserReadCond, parent),
        work_(work),
        function_(function) {
    Body()->addWidget(Tagged(new QLabel(Text(TextId::kLabelFunction).arg(function)), APL_IDC_FUNCTION_LABEL));
    auto* form = new QFormLayout;
    Body()->addLayout(form);
    setting_ = Tagged(new QComboBox, APL_IDC_READ_COND);
    setting_->setMinimumWidth(240);
    setting_->addItem(Text(TextId::kReadCondNone));
    for (const ScanSetting& s : work_.scans) setting_->addItem(ToQ(s.name));
    setting_->setCurrentIndex(work_.FindScan(work_.userReadCond[function - 1]) + 1);
    form->addRow(Text(TextId::kLabelReadCond), setting_);
    unit_ = Tagged(new QComboBox, APL_IDC_UNIT);
    unit_->addItem(Text(TextId::kUnitFirst, APL_UNIT_MM));
    unit_->addItem(Text(TextId::kUnitFirst, APL_UNIT_INCH));
    unit_->setCurrentIndex(work_.unit);
    form->addRow(Text(TextId::kLabelUnit), unit_);
  }

 protected:
  bool Collect() override {
    const int index = setting_->currentIndex();
    work_.userReadCond[function_ - 1] = index > 0 ? work_.scans[index - 1].name : std::string();
    work_.unit = unit_->currentIndex();
    return true;
  }

 private:
  SettingStore& work_;
  int32_t function_;
  QComboBox* setting_;
  QComboBox* unit_;
};

}  // namespace

int32_t RunScanSelectDialog() {
  DeviceRegistry& devices = DeviceRegistry::Instance();
  devices.Refresh();
  ScanSelectDialog dialog(OwnerWidget());
  if (ExecModal(dialog) != QDialog::Accepted) return 0;
  return devices.SetCurrent(dialog.chosen_) ? 1 : APLIF_ERR_NOT_FOUND;
}

int32_t RunUserReadCondDialog(Instance& inst, int32_t function, int32_t* settingNumber) {
  SettingStore work = inst.store;
  UserReadCondDialog dialog(work, function, OwnerWidget());
  int32_t result = 0;
  if (ExecModal(dialog) == QDialog::Accepted) {
    inst.store = std::move(work);
    result = StoreScan(inst) == APLIF_OK ? 1 : APLIF_ERR_WRITE;
  }
  if (settingNumber) *settingNumber = inst.store.FindScan(inst.store.userReadCond[function - 1]);
  return result;
}

int32_t ShowScannerInfo(Instance& inst) {
  const DeviceInfo* device = DeviceRegistry::Instance().Current();
  QString text;
  if (!device) {
    text = Text(TextId::kInfoNoScanner);
  } else {
    QStringList lines{Text(TextId::kInfoScanner).arg(ToQ(device->name)).arg(device->id), QString()};
    for (int i = 0; i < kMaintenanceItemCount; ++i) {
      if (device->limits[i] <= 0) continue;
      const PageCounter c = ReadCounter(inst.deviceIni, device->id, static_cast<MaintenanceItem>(i));
      lines << Text(TextId::kInfoCounterLine)
                   .arg(Text(TextId::kMaintenanceFirst, i))
                   .arg(c.pages)
                   .arg(device->limits[i]);
    }
    text = lines.join(QLatin1Char('\n'));
  }
  BusyMark busy;
  platform::ShowMessageBox(OwnerWidget(), FromQ(text), MessageCaption(TextId::kCaptionScannerInfo),
                           platform::kMbOk | (device ? platform::kMbIconInformation : platform::kMbIconWarning));
  return device ? 1 : 0;
}

}  // namespace aplif
