// The setting dialogs, each driven from a zero-delay timer: controls found
// by their ids, OK pressed, then the INI files and the messages posted to
// the owner window checked.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <utility>
#include <vector>

#include "aplif_test_support.h"

using aplif_test::AplIF;
using aplif_test::Control;
using aplif_test::OwnerWindow;
using aplif_test::Screenshot;
using aplif_test::WhenShown;
using testsupport::ReadFile;

namespace {

using Posted = std::vector<std::pair<uint32_t, uintptr_t>>;

Posted PostedTo(OwnerWindow& owner) {
  Posted out;
  for (const aplif_test::Message& m : owner.Received()) out.emplace_back(m.message, m.wParam);
  return out;
}

void Click(QWidget* dialog, int id) {
  auto* button = Control<QPushButton>(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  button->click();
}

QString ErrorLine(QWidget* dialog) {
  QLabel* error = Control<QLabel>(dialog, APL_IDC_ERROR);
  return error && error->isVisible() ? error->text() : QString();
}

void SelectRow(QWidget* dialog, const QString& name) {
  auto* list = Control<QListWidget>(dialog, APL_IDC_LIST);
  ASSERT_NE(list, nullptr);
  const auto found = list->findItems(name, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << name.toStdString();
  list->setCurrentItem(found.first());
}

QStringList Rows(QWidget* dialog) {
  QStringList rows;
  auto* list = Control<QListWidget>(dialog, APL_IDC_LIST);
  for (int r = 0; list && r < list->count(); ++r) rows << list->item(r)->text();
  return rows;
}

}  // namespace

class Dialogs : public AplIF {
 protected:
  void SetUp() override {
    AplIF::SetUp();
    ASSERT_EQ(Init(), APLIF_OK);
    data->ownerWindow = owner.id;
  }
  OwnerWindow owner;
};

TEST_F(Dialogs, ScanSettingForAplEditsTheCurrentSetting) {
  WhenShown(
      [&](QWidget* w) {
        EXPECT_EQ(w->parentWidget(), &owner.widget);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Scan Setting"));
        auto* name = Control<QLineEdit>(w, APL_IDC_NAME);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QStringLiteral("Letter"));
        name->setText(QStringLiteral("  Letter 300  "));
        Control<QComboBox>(w, APL_IDC_IMAGE_TYPE)->setCurrentIndex(APL_IMAGE_GRAY256);
        Control<QSpinBox>(w, APL_IDC_RESOLUTION)->setValue(300);
        Control<QComboBox>(w, APL_IDC_UNIT)->setCurrentIndex(APL_UNIT_INCH);
        auto* paper = Control<QComboBox>(w, APL_IDC_PAPER);
        paper->setCurrentIndex(APL_PAPER_A4);
        EXPECT_EQ(paper->currentText(), QString::fromUtf8("A4 (8.27 \u00d7 11.69 inches)"));
        Control<QCheckBox>(w, APL_IDC_DUPLEX)->setChecked(true);
        EXPECT_EQ(data->SetCurScanSettingNo(1), APLIF_ERR_BUSY);
        Screenshot(w, QStringLiteral("ScanSettingForAPL"));
        Click(w, APL_IDC_OK);
      },
      APL_DLG_SCAN_SETTING);
  EXPECT_EQ(data->ScanSettingForAPL(), 1);
  EXPECT_EQ(Ini(scanIni, "ScanSetting1", "Name"), "Letter 300");
  EXPECT_EQ(Ini(scanIni, "ScanSetting1", "ImageType"), "2");
  EXPECT_EQ(Ini(scanIni, "ScanSetting1", "Resolution"), "300");
  EXPECT_EQ(Ini(scanIni, "ScanSetting1", "Paper"), "3");
  EXPECT_EQ(Ini(scanIni, "ScanSetting1", "Duplex"), "1");
  EXPECT_EQ(Ini(scanIni, "ScanSet", "Unit"), "1");
  EXPECT_EQ(Ini(scanIni, "UserReadCond", "Function1"), "Letter 300");  // the reference follows
  EXPECT_EQ(PostedTo(owner), (Posted{{APLIF_MSG_SCAN_SETTINGS_CHANGED, 0}}));
  EXPECT_EQ(data->GetBitPixel(0), 8);
  EXPECT_EQ(data->GetToolkitUnit(), APL_UNIT_INCH);
}

TEST_F(Dialogs, ScanSettingForAplRefusesADuplicateNameAndCancelChangesNothing) {
  const std::string before = ReadFile(scanIni);
  WhenShown(
      [&](QWidget* w) {
        Control<QLineEdit>(w, APL_IDC_NAME)->setText(QStringLiteral("a4 300 DPI COLOUR"));
        Control<QComboBox>(w, APL_IDC_IMAGE_TYPE)->setCurrentIndex(APL_IMAGE_COLOR);
        Click(w, APL_IDC_OK);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(ErrorLine(w).contains(QStringLiteral("already exists"))) << ErrorLine(w).toStdString();
        Screenshot(w, QStringLiteral("ScanSettingForAPL-refused"));
        Click(w, APL_IDC_CANCEL);
      },
      APL_DLG_SCAN_SETTING);
  EXPECT_EQ(data->ScanSettingForAPL(), 0);
  EXPECT_EQ(ReadFile(scanIni), before);
  EXPECT_EQ(data->GetImageType(0), APL_IMAGE_BW);
  EXPECT_TRUE(PostedTo(owner).empty());
}

TEST_F(Dialogs, ScanSettingListAddsRenamesDeletesAndChooses) {
  WhenShown(
      [&](QWidget* w) {
        EXPECT_EQ(Rows(w).size(), 4);
        auto* name = Control<QLineEdit>(w, APL_IDC_LIST_NAME);
        SelectRow(w, QStringLiteral("A4 300 dpi colour"));
        name->setText(QStringLiteral("Receipts"));
        Click(w, APL_IDC_ADD);  // a copy of the selected setting
        SelectRow(w, QStringLiteral("A4 300 dpi colour"));
        name->setText(QStringLiteral("A4 colour"));
        Click(w, APL_IDC_RENAME);
        SelectRow(w, QStringLiteral("B&W 200 dpi duplex"));  // the Invoices job's own setting
        Click(w, APL_IDC_DELETE);
        SelectRow(w, QStringLiteral("Letter"));
        name->setText(QStringLiteral("RECEIPTS"));
        Click(w, APL_IDC_RENAME);
        EXPECT_TRUE(ErrorLine(w).contains(QStringLiteral("already exists")));
        SelectRow(w, QStringLiteral("Receipts"));
        EXPECT_EQ(Rows(w), (QStringList{"Letter", "A4 colour", "B&W + colour 300 dpi", "Receipts"}));
        Screenshot(w, QStringLiteral("ScanSettingListDlg"));
        Click(w, APL_IDC_OK);
      },
      APL_DLG_SCAN_SETTING_LIST);
  EXPECT_EQ(data->ScanSettingListDlg(), 1);
  EXPECT_EQ(ScanNames(), (std::vector<std::string>{"Letter", "A4 colour", "B&W + colour 300 dpi", "Receipts"}));
  EXPECT_EQ(data->GetCurScanSettingNo(), 3);
  EXPECT_EQ(data->GetImageType(0), APL_IMAGE_COLOR);
  EXPECT_EQ(Ini(scanIni, "ScanSet", "Count"), "4");
  EXPECT_EQ(Ini(scanIni, "ScanSet", "Current"), "3");
  EXPECT_EQ(Ini(scanIni, "ScanSetting4", "Name"), "Receipts");
  EXPECT_EQ(Ini(scanIni, "ScanSetting5", "Name"), "<missing>");
  EXPECT_EQ(Ini(scanIni, "UserReadCond", "Function2"), "A4 colour");
  EXPECT_EQ(Ini(scanIni, "UserReadCond", "Function3"), "<missing>");
  EXPECT_EQ(Ini(jobIni, "JobSetting2", "ReadCond"), "");
  EXPECT_EQ(PostedTo(owner),
            (Posted{{APLIF_MSG_SCAN_SETTINGS_CHANGED, 3}, {APLIF_MSG_FILE_NAMING_CHANGED, 0}}));
  ASSERT_EQ(Restart(), APLIF_OK);
  EXPECT_EQ(ScanNames(), (std::vector<std::string>{"Letter", "A4 colour", "B&W + colour 300 dpi", "Receipts"}));
}

TEST_F(Dialogs, JobScanSettingEditsTheCurrentFileNamingSetting) {
  WhenShown(
      [&](QWidget* w) {
        EXPECT_EQ(Control<QLineEdit>(w, APL_IDC_NAME)->text(), QStringLiteral("Single pages"));
        Control<QLineEdit>(w, APL_IDC_NAME)->setText(QStringLiteral("Daily mail"));
        Control<QSpinBox>(w, APL_IDC_DIGITS)->setValue(6);
        auto* pages = Control<QSpinBox>(w, APL_IDC_PAGES_PER_FILE);
        pages->setValue(0);
        EXPECT_EQ(pages->text(), QStringLiteral("At control sheets"));
        auto* own = Control<QComboBox>(w, APL_IDC_OWN_SETTING);
        EXPECT_FALSE(own->isEnabled());
        Control<QCheckBox>(w, APL_IDC_USE_OWN_SETTING)->setChecked(true);
        EXPECT_TRUE(own->isEnabled());
        own->setCurrentIndex(1);
        auto* prefix = Control<QLineEdit>(w, APL_IDC_FILE_PREFIX);
        prefix->setText(QStringLiteral("a/b"));
        Click(w, APL_IDC_OK);
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(ErrorLine(w).isEmpty());
        prefix->setText(QStringLiteral("MAIL"));
        Screenshot(w, QStringLiteral("JobScanSetting"));
        Click(w, APL_IDC_OK);
      },
      APL_DLG_JOB_SETTING);
  EXPECT_EQ(data->JobScanSetting(), 1);
  EXPECT_EQ(Ini(jobIni, "JobSetting1", "Name"), "Daily mail");
  EXPECT_EQ(Ini(jobIni, "JobSetting1", "FilePrefix"), "MAIL");
  EXPECT_EQ(Ini(jobIni, "JobSetting1", "Digits"), "6");
  EXPECT_EQ(Ini(jobIni, "JobSetting1", "PagesPerFile"), "0");
  EXPECT_EQ(Ini(jobIni, "JobSetting1", "ReadCond"), "A4 300 dpi colour");
  char name[APLIF_NAME_SIZE];
  EXPECT_EQ(data->GetUseSpecifiedReadCond(name, sizeof name), 1);
  EXPECT_STREQ(name, "A4 300 dpi colour");
  EXPECT_EQ(data->GetImageType(1), APL_IMAGE_COLOR);
  EXPECT_EQ(PostedTo(owner), (Posted{{APLIF_MSG_FILE_NAMING_CHANGED, 0}}));
}

TEST_F(Dialogs, JobScanSettingListKeepsAtLeastOneSettingAndUniqueNames) {
  WhenShown(
      [&](QWidget* w) {
        auto* name = Control<QLineEdit>(w, APL_IDC_LIST_NAME);
        SelectRow(w, QStringLiteral("Single pages"));
        Click(w, APL_IDC_DELETE);
        EXPECT_EQ(Rows(w), QStringList{"Invoices"});
        Click(w, APL_IDC_DELETE);
        EXPECT_EQ(Rows(w), QStringList{"Invoices"});
        EXPECT_TRUE(ErrorLine(w).contains(QStringLiteral("last setting")));
        name->setText(QStringLiteral("invoices"));
        Click(w, APL_IDC_ADD);
        EXPECT_EQ(Rows(w).size(), 1);
        name->setText(QStringLiteral("Letters"));
        Click(w, APL_IDC_ADD);
        EXPECT_EQ(Rows(w), (QStringList{"Invoices", "Letters"}));
        EXPECT_TRUE(ErrorLine(w).isEmpty());
        Screenshot(w, QStringLiteral("JobScanSettingListDlg"));
        Click(w, APL_IDC_OK);
      },
      APL_DLG_JOB_SETTING_LIST);
  EXPECT_EQ(data->JobScanSettingListDlg(), 1);
  EXPECT_EQ(JobNames(), (std::vector<std::string>{"Invoices", "Letters"}));
  EXPECT_EQ(data->GetCurFileNamingSettingNo(), 1);
  EXPECT_EQ(Ini(jobIni, "JobSetting2", "FilePrefix"), "INV");  // copied from Invoices
  EXPECT_EQ(Ini(jobIni, "JobSetting2", "ReadCond"), "B&W 200 dpi duplex");
  EXPECT_EQ(Ini(jobIni, "JobSet", "Current"), "1");
  EXPECT_EQ(PostedTo(owner), (Posted{{APLIF_MSG_FILE_NAMING_CHANGED, 1}}));
}

TEST_F(Dialogs, ScanSelectChoosesAmongTheKnownScanners) {
  WhenShown(
      [&](QWidget* w) {
        EXPECT_EQ(Rows(w), QStringList{aplif_test::kVirtualName});
        auto* list = Control<QListWidget>(w, APL_IDC_LIST);
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(Control<QPushButton>(w, APL_IDC_HELP), nullptr);  // no manual given
        Screenshot(w, QStringLiteral("ScanSelectDlg"));
        Click(w, APL_IDC_OK);
      },
      APL_DLG_SCAN_SELECT);
  EXPECT_EQ(data->ScanSelectDlg(), 1);
  EXPECT_EQ(data->curScannerId, APL_SCANNER_ID_VIRTUAL_FEEDER);
  WhenShown([&](QWidget* w) { Click(w, APL_IDC_CANCEL); }, APL_DLG_SCAN_SELECT);
  EXPECT_EQ(data->ScanSelectDlg(), 0);
  EXPECT_TRUE(PostedTo(owner).empty());
}

TEST_F(Dialogs, DispUserReadCondMapsAFunctionToAScanSetting) {
  int32_t setting = 99;
  EXPECT_EQ(data->DispUserReadCond(0, &setting), APLIF_ERR_BAD_ARGUMENT);
  EXPECT_EQ(setting, -1);
  EXPECT_EQ(data->DispUserReadCond(APLIF_USER_READ_CONDS + 1, &setting), APLIF_ERR_BAD_ARGUMENT);

  ASSERT_EQ(data->SetHelpPath(dir.File("manual.pdf").c_str()), APLIF_OK);
  WhenShown(
      [&](QWidget* w) {
        EXPECT_EQ(Control<QLabel>(w, APL_IDC_FUNCTION_LABEL)->text(), QStringLiteral("Function #4"));
        EXPECT_NE(Control<QPushButton>(w, APL_IDC_HELP), nullptr);
        auto* cond = Control<QComboBox>(w, APL_IDC_READ_COND);
        EXPECT_EQ(cond->count(), 5);  // none and the four settings
        EXPECT_EQ(cond->currentIndex(), 0);
        cond->setCurrentIndex(2);
        Control<QComboBox>(w, APL_IDC_UNIT)->setCurrentIndex(APL_UNIT_INCH);
        Screenshot(w, QStringLiteral("DispUserReadCond"));
        Click(w, APL_IDC_OK);
      },
      APL_DLG_USER_READ_COND);
  EXPECT_EQ(data->DispUserReadCond(4, &setting), 1);
  EXPECT_EQ(setting, 1);
  EXPECT_EQ(Ini(scanIni, "UserReadCond", "Function4"), "A4 300 dpi colour");
  EXPECT_EQ(data->GetToolkitUnit(), APL_UNIT_INCH);
  EXPECT_TRUE(PostedTo(owner).empty());
  ASSERT_EQ(Restart(), APLIF_OK);
  EXPECT_EQ(data->GetToolkitUnit(), APL_UNIT_INCH);
}
