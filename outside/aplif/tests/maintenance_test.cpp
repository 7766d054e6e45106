// Maintenance warnings from the page counters in AplDevice.ini: shown once
// a counter reaches its interval, not repeated until a tenth of it more,
// and Yes resets the counter.
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <cstring>

#include "aplif_test_support.h"
#include "platform/message_box.h"

using aplif_test::AplIF;
using aplif_test::WhenShown;
using testsupport::WriteFile;

namespace {

// The virtual feeder cleans its rollers every 5000 pages.
constexpr int kRollerInterval = 5000;

void Answer(int button, std::string* shownText = nullptr, const char* screenshot = nullptr) {
  WhenShown(
      [=](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        if (shownText) *shownText = box->text().toStdString();
        if (screenshot) aplif_test::Screenshot(box, QString::fromLatin1(screenshot));
        auto* b = aplif_test::Control<QPushButton>(box, button);
        ASSERT_NE(b, nullptr);
        b->click();
      },
      0, "vistelMessageBox");
}

}  // namespace

class Maintenance : public AplIF {
 protected:
  void SetUp() override {
    AplIF::SetUp();
    ASSERT_EQ(Init(), APLIF_OK);
    std::memset(&texts, 0, sizeof texts);
  }
  void Counters(int cleanRoller, int plate = 0) {
    WriteFile(deviceIni, "[Scanner18]\nCleanRoller=" + std::to_string(cleanRoller) +
                             "\nFrCleanPlate=" + std::to_string(plate) + "\n");
  }
  APL_WARNING_TEXTS texts;
};

TEST_F(Maintenance, WarnsOnceAtTheIntervalAndAgainATenthLater) {
  Counters(kRollerInterval + 100);
  std::string shown;
  Answer(platform::kIdNo, &shown, "CheckRollerWarning");
  EXPECT_EQ(data->CheckRollerWarning(&texts), 1);
  EXPECT_NE(shown.find("Virtual Sheet Feeder"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Clean the rollers"), std::string::npos) << shown;
  EXPECT_NE(shown.find("5100"), std::string::npos) << shown;
  EXPECT_STREQ(texts.cleanRoller, "18:0:5100");
  EXPECT_STREQ(texts.frCleanPlate, "");

  {
    aplif_test::NoModalExpected none;
    EXPECT_EQ(data->CheckRollerWarning(&texts), 0);
    Counters(kRollerInterval + 100 + kRollerInterval / 10 - 1);
    EXPECT_EQ(data->CheckRollerWarning(&texts), 0);
  }
  Counters(kRollerInterval + 100 + kRollerInterval / 10);
  Answer(platform::kIdNo);
  EXPECT_EQ(data->CheckRollerWarning(&texts), 1);
  EXPECT_STREQ(texts.cleanRoller, "18:0:5600");
}

TEST_F(Maintenance, YesResetsTheCounterAndStartsANewGeneration) {
  Counters(kRollerInterval, 2500);  // the plate's interval is 2500 as well
  Answer(platform::kIdYes);
  Answer(platform::kIdNo);
  EXPECT_EQ(data->CheckRollerWarning(&texts), 2);
  EXPECT_EQ(Ini(deviceIni, "Scanner18", "CleanRoller"), "0");
  EXPECT_EQ(Ini(deviceIni, "Scanner18", "CleanRollerGen"), "1");
  EXPECT_EQ(Ini(deviceIni, "Scanner18", "FrCleanPlate"), "2500");
  EXPECT_STREQ(texts.cleanRoller, "18:1:0");
  EXPECT_STREQ(texts.frCleanPlate, "18:0:2500");

  // After the reset the counter grows again; the old text does not hold the
  // new warning back, because its generation is older.
  WriteFile(deviceIni, "[Scanner18]\nCleanRoller=5000\nCleanRollerGen=1\n");
  std::strcpy(texts.cleanRoller, "18:0:5000");
  Answer(platform::kIdNo);
  EXPECT_EQ(data->CheckRollerWarning(&texts), 1);
  EXPECT_STREQ(texts.cleanRoller, "18:1:5000");
}

TEST_F(Maintenance, HostileTextsReadAsNotWarned) {
  Counters(kRollerInterval);
  const char* hostile[] = {"18:0:abc", "18:0:5000:1", "-18:0:5000", "18:0:"};
  for (const char* text : hostile) {
    std::strcpy(texts.cleanRoller, text);
    Answer(platform::kIdNo);
    EXPECT_EQ(data->CheckRollerWarning(&texts), 1) << text;
  }
  std::memset(texts.cleanRoller, '9', sizeof texts.cleanRoller);  // no terminator
  Answer(platform::kIdNo);
  EXPECT_EQ(data->CheckRollerWarning(&texts), 1);
  EXPECT_STREQ(texts.cleanRoller, "18:0:5000");
}

TEST_F(Maintenance, CountersBelowTheirIntervalOrMissingShowNothing) {
  aplif_test::NoModalExpected none;
  EXPECT_EQ(data->CheckRollerWarning(&texts), 0);  // no counter file
  WriteFile(deviceIni, "[Scanner18]\nCleanRoller=-99999999\nReplaceRoller=199999\nBkCleanPlate=x\n");
  EXPECT_EQ(data->CheckRollerWarning(&texts), 0);
  EXPECT_EQ(data->CheckRollerWarning(nullptr), APLIF_ERR_BAD_ARGUMENT);
}

TEST_F(Maintenance, PreCheckScannerBaseInfoShowsTheScannerAndItsCounters) {
  Counters(1234);
  std::string shown;
  WhenShown(
      [&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text().toStdString();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Vexo Viewer"));
        aplif_test::Screenshot(box, QStringLiteral("PreCheckScannerBaseInfo"));
        aplif_test::Control<QPushButton>(box, platform::kIdOk)->click();
      },
      0, "vistelMessageBox");
  EXPECT_EQ(data->PreCheckScannerBaseInfo(), 1);
  EXPECT_NE(shown.find("Virtual Sheet Feeder"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Scanner ID: 18"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Clean the rollers: 1234 of 5000 pages"), std::string::npos) << shown;
}
