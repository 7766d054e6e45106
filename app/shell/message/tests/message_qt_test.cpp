// The Qt side: the production presenter end to end on the platform box, and
// the three-button question dialog, each driven from a zero-delay timer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <iostream>
#include <string>

#include "res/resource_module.h"
#include "shell/message_presenter.h"
#include "shell/qt_message_box.h"
#include "shell/ui_message_dlg_box.h"

namespace shell {
namespace {

template <typename W = QWidget>
W* FindById(QWidget* root, uint32_t id) {
  for (W* w : root->findChildren<W*>()) {
    const QVariant v = w->property("ctrlId");
    if (v.isValid() && v.toUInt() == id) return w;
  }
  return nullptr;
}

// Runs act on the modal window once it is up. If act leaves it open (a
// failed lookup), the window is closed so that the test fails, not hangs.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      ADD_FAILURE() << "no modal window";
      return;
    }
    act(modal);
    if (modal->isVisible()) {
      ADD_FAILURE() << "the modal window is still open";
      if (auto* box = qobject_cast<QMessageBox*>(modal)) box->done(0);
      if (auto* dlg = qobject_cast<QDialog*>(modal)) dlg->done(0);
    }
  });
}

void Press(QWidget* window, uint32_t id) {
  QAbstractButton* button = FindById<QAbstractButton>(window, id);
  ASSERT_NE(button, nullptr) << "button " << id;
  button->click();
}

TEST(QtMessageBox, ProductionPresenterShowsTheTextAndReturnsTheButton) {
  QWidget mainWindow;
  QtMessageBoxSink sink([&mainWindow] { return &mainWindow; });
  TableMessagePresenter presenter(sink);

  const struct {
    uint32_t pressed;
    int result;
  } kCases[] = {{1, kResultOk}, {2, kResultCancel}};
  for (const auto& c : kCases) {
    QString text, title;
    QWidget* parent = nullptr;
    WhenModal([&](QWidget* box) {
      auto* messageBox = qobject_cast<QMessageBox*>(box);
      ASSERT_NE(messageBox, nullptr);
      text = messageBox->text();
      title = messageBox->windowTitle();
      parent = messageBox->parentWidget();
      Press(box, c.pressed);
    });
    EXPECT_EQ(presenter.ShowMessageDetailFirst(0x3E, "/home/op/Image/a.tif", false), c.result);
    EXPECT_EQ(text.toStdString(), "/home/op/Image/a.tif\nThe file already exists.\nOverwrite?");
    EXPECT_EQ(title.toStdString(), res::StringText(res::kIdsAppTitle));
    EXPECT_EQ(parent, &mainWindow);
  }
}

class MessageDlgBoxTest : public ::testing::Test {
 protected:
  // Longer than the file-name control at its natural width.
  const std::string longName_ =
      "/home/operator/Documents/Scans/2026/Quarterly reports of the northern branch offices/"
      "Invoices and delivery notes/Batch 0042/ScanData_0000123456789.tif";
  const std::string shortName_ = "/tmp/a.tif";
  const std::string question_ = "The file already exists.\nOverwrite?";
};

TEST_F(MessageDlgBoxTest, EachButtonGivesItsResultAndClosingGivesZero) {
  const struct {
    uint32_t id;  // 0: close the window
    int result;
  } kCases[] = {{CUIMessageDlgBox::kIdcYes, CUIMessageDlgBox::kYes},
                {CUIMessageDlgBox::kIdcYesAll, CUIMessageDlgBox::kYesAll},
                {CUIMessageDlgBox::kIdcNo, CUIMessageDlgBox::kNo},
                {0, CUIMessageDlgBox::kClosed}};
  CUIMessageDlgBox dlg;
  dlg.SetTexts(shortName_, shortName_, question_);
  for (const auto& c : kCases) {
    WhenModal([&](QWidget* window) {
      EXPECT_EQ(window, &dlg);
      if (c.id == 0)
        window->close();
      else
        Press(window, c.id);
    });
    EXPECT_EQ(dlg.exec(), c.result) << c.id;
    EXPECT_EQ(dlg.Result(), c.result) << c.id;
  }
}

TEST_F(MessageDlgBoxTest, ControlsCarryTheirIdsTextsAndFont) {
  CUIMessageDlgBox dlg;
  dlg.SetTexts(shortName_, "/tmp/b.tif", question_);
  dlg.show();
  QApplication::processEvents();

  EXPECT_EQ(dlg.windowTitle().toStdString(), res::StringText(res::kIdsAppTitle));
  const struct {
    uint32_t id;
    std::string text;
  } kTexts[] = {{CUIMessageDlgBox::kIdcFileName1, shortName_},
                {CUIMessageDlgBox::kIdcFileName2, "/tmp/b.tif"},
                {CUIMessageDlgBox::kIdcQuestion, question_}};
  for (const auto& t : kTexts) {
    QLabel* label = FindById<QLabel>(&dlg, t.id);
    ASSERT_NE(label, nullptr) << t.id;
    EXPECT_EQ(label->text().toStdString(), t.text);
    EXPECT_EQ(label->font(), QApplication::font());
  }
  for (uint32_t id : {CUIMessageDlgBox::kIdcYes, CUIMessageDlgBox::kIdcYesAll, CUIMessageDlgBox::kIdcNo}) {
    QAbstractButton* button = FindById<QAbstractButton>(&dlg, id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text().toStdString(), res::DialogText(CUIMessageDlgBox::kDialogId, id));
    EXPECT_FALSE(button->text().isEmpty());
  }
  dlg.close();
}

TEST_F(MessageDlgBoxTest, LongFileNameIsShortenedOnScreenWithTheFullTextAsTooltip) {
  CUIMessageDlgBox dlg;
  dlg.SetTexts(longName_, shortName_, question_);
  dlg.show();
  QApplication::processEvents();

  QLabel* label = FindById<QLabel>(&dlg, CUIMessageDlgBox::kIdcFileName1);
  ASSERT_NE(label, nullptr);
  const QString full = QString::fromStdString(longName_);
  const QString shown = label->text();
  EXPECT_NE(shown.toStdString(), longName_);
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(full.startsWith(shown.left(8))) << shown.toStdString();
  EXPECT_TRUE(full.endsWith(shown.right(8))) << shown.toStdString();
  EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width());
  EXPECT_LT(dlg.width(), label->fontMetrics().horizontalAdvance(full));  // the name did not widen the dialog
  EXPECT_EQ(label->toolTip().toStdString(), longName_);
  EXPECT_EQ(FindById<QLabel>(&dlg, CUIMessageDlgBox::kIdcFileName2)->toolTip().toStdString(), shortName_);

  const QString path = QCoreApplication::applicationDirPath() + "/shell_message_dlg_box.png";
  EXPECT_TRUE(dlg.grab().save(path));
  std::cout << "screenshot: " << path.toStdString() << std::endl;

  // Wide enough for the whole name: the control shows it unshortened.
  dlg.resize(label->fontMetrics().horizontalAdvance(full) + 200, dlg.height());
  QApplication::processEvents();
  EXPECT_EQ(label->text().toStdString(), longName_);
  dlg.close();
}

}  // namespace
}  // namespace shell
