// Message boxes: buttons, default button and results of every style, the
// icons, plain-text display, and what Escape and closing do.
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using namespace platform;

// Presses some button of a box the test failed to end, so it cannot hang.
void Unstick(QMessageBox* box, const char* why) {
  ADD_FAILURE() << why;
  if (!box->buttons().isEmpty()) box->buttons().front()->click();
}

// Calls act with the message box once it shows, from inside its own loop.
void WhenBoxShows(std::function<void(QMessageBox*)> act, int triesLeft = 500) {
  QTimer::singleShot(triesLeft == 500 ? 0 : 10, qApp, [act, triesLeft] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && box->objectName() == "vistelMessageBox" && box->isVisible()) {
      act(box);
      QTimer::singleShot(2000, box, [box] {
        if (box->isVisible()) Unstick(box, "the box is still open");
      });
      return;
    }
    if (triesLeft > 0) return WhenBoxShows(act, triesLeft - 1);
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) Unstick(b, "no active message box");
  });
}

QPushButton* ButtonById(QMessageBox* box, int id) {
  for (QPushButton* b : box->findChildren<QPushButton*>())
    if (b->property("ctrlId").toInt() == id) return b;
  return nullptr;
}

struct Shown {
  std::vector<int> ids;  // sorted
  int defaultId = 0;
};

Shown ReadBox(QMessageBox* box) {
  Shown s;
  for (QPushButton* b : box->findChildren<QPushButton*>()) {
    bool ok = false;
    int id = b->property("ctrlId").toInt(&ok);
    if (!ok) continue;
    s.ids.push_back(id);
    if (b->isDefault()) {
      EXPECT_EQ(s.defaultId, 0) << "two default buttons";
      s.defaultId = id;
    }
  }
  std::sort(s.ids.begin(), s.ids.end());
  return s;
}

TEST(MessageBox, EachStyleShowsItsButtonsAndReturnsThePressedOne) {
  struct Case {
    uint32_t style;
    std::vector<int> buttons;
    int defaultId;
  } const cases[] = {
      {kMbOk, {kIdOk}, kIdOk},
      {kMbOkCancel | kMbDefButton2, {kIdOk, kIdCancel}, kIdCancel},
      {kMbAbortRetryIgnore | kMbDefButton3, {kIdAbort, kIdRetry, kIdIgnore}, kIdIgnore},
      {kMbYesNoCancel | kMbDefButton2, {kIdYes, kIdNo, kIdCancel}, kIdNo},
      {kMbYesNo, {kIdYes, kIdNo}, kIdYes},
      {kMbRetryCancel | kMbDefButton3, {kIdRetry, kIdCancel}, kIdRetry},  // no third button: the first
      {0x6, {kIdOk}, kIdOk},                                               // a type we do not know
  };
  for (const auto& c : cases) {
    for (int press : c.buttons) {
      SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style << " press " << std::dec << press);
      Shown shown;
      WhenBoxShows([&](QMessageBox* box) {
        shown = ReadBox(box);
        QPushButton* b = ButtonById(box, press);
        ASSERT_NE(b, nullptr);
        b->click();
      });
      EXPECT_EQ(ShowMessageBox(nullptr, "text", "caption", c.style), press);
      std::vector<int> expected = c.buttons;
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(shown.ids, expected);
      EXPECT_EQ(shown.defaultId, c.defaultId);
    }
  }
}

TEST(MessageBox, IconTextAndCaption) {
  struct Case {
    uint32_t iconBits;
    QMessageBox::Icon icon;
  } const cases[] = {
      {0, QMessageBox::NoIcon},
      {kMbIconStop, QMessageBox::Critical},
      {kMbIconQuestion, QMessageBox::Question},
      {kMbIconWarning, QMessageBox::Warning},
      {kMbIconInformation, QMessageBox::Information},
  };
  const std::string text = "Cannot open /home/<b>scans</b>/a&b.tif\nsecond line — ü";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.iconBits);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString shownText, shownTitle, labelText;
    Qt::TextFormat labelFormat = Qt::RichText;
    WhenBoxShows([&](QMessageBox* box) {
      icon = box->icon();
      shownText = box->text();
      shownTitle = box->windowTitle();
      if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) {
        labelText = label->text();
        labelFormat = label->textFormat();
      }
      ButtonById(box, kIdOk)->click();
    });
    EXPECT_EQ(ShowMessageBox(nullptr, text, "Vistel – Fehler", kMbOk | c.iconBits), kIdOk);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(shownText, QString::fromStdString(text));
    EXPECT_EQ(labelText, QString::fromStdString(text));
    EXPECT_EQ(labelFormat, Qt::PlainText);
    EXPECT_EQ(shownTitle, QString::fromUtf8("Vistel – Fehler"));
  }
}

TEST(MessageBox, EscapeAndClosingGiveCancelOrOkOnly) {
  enum class Way { Escape, Close };
  struct Case {
    uint32_t style;
    Way way;
    int expected;
  } const cases[] = {
      {kMbOk, Way::Escape, kIdOk},
      {kMbOk, Way::Close, kIdOk},
      {kMbOkCancel, Way::Escape, kIdCancel},
      {kMbOkCancel | kMbDefButton1, Way::Close, kIdCancel},
      {kMbYesNoCancel, Way::Escape, kIdCancel},
      {kMbRetryCancel, Way::Close, kIdCancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style << (c.way == Way::Escape ? " escape" : " close"));
    WhenBoxShows([&](QMessageBox* box) {
      if (c.way == Way::Escape)
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Escape);
      else
        box->close();
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "text", "caption", c.style), c.expected);
  }
}

TEST(MessageBox, YesNoAndAbortRetryIgnoreCannotBeDismissed) {
  struct Case {
    uint32_t style;
    int press;
  } const cases[] = {
      {kMbYesNo, kIdYes},
      {kMbYesNo | kMbDefButton2, kIdYes},
      {kMbAbortRetryIgnore, kIdRetry},
      {kMbAbortRetryIgnore | kMbDefButton3, kIdIgnore},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    bool openAfterEscape = false, openAfterClose = false, closeHint = true;
    WhenBoxShows([&](QMessageBox* box) {
      closeHint = box->windowFlags().testFlag(Qt::WindowCloseButtonHint);
      QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Escape);
      QTest::keyClick(box, Qt::Key_Escape);
      QTimer::singleShot(0, box, [&, box] {
        openAfterEscape = box->isVisible();
        box->close();
        QTimer::singleShot(0, box, [&, box] {
          openAfterClose = box->isVisible();
          ButtonById(box, c.press)->click();
        });
      });
    });
    EXPECT_EQ(ShowMessageBox(nullptr, "text", "caption", c.style), c.press);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(openAfterClose);
    EXPECT_FALSE(closeHint);
  }
}

}  // namespace
