// CUIMessageDlgBox: dialog 165 built from its resource texts.
#include "shell/ui_message_dlg_box.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QString>
#include <QVBoxLayout>

#include "res/resource_module.h"

namespace shell {
namespace {

// Width the file-name controls ask for, in average characters: enough for
// a typical path, anything longer is shortened in the middle.
constexpr int kFileNameHintChars = 56;
// The narrowest they may become, in average characters.
constexpr int kFileNameMinChars = 12;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A one-line label that shows its text shortened in the middle to its
// current width and carries the full text as its tooltip.
class ElidedLabel final : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }

  void SetFullText(const QString& text) {
    full_ = text;
    setToolTip(text);
    Elide();
  }

  // Independent of the text, so a long name never widens the dialog.
  QSize sizeHint() const override { return {fontMetrics().averageCharWidth() * kFileNameHintChars, LineHeight()}; }
  QSize minimumSizeHint() const override { return {fontMetrics().averageCharWidth() * kFileNameMinChars, LineHeight()}; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Elide();
  }
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) Elide();
  }

 private:
  int LineHeight() const {
    const QMargins m = contentsMargins();
    return fontMetrics().height() + m.top() + m.bottom() + 2 * margin();
  }
  void Elide() {
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideMiddle, contentsRect().width() - 2 * margin());
    if (shown != text()) setText(shown);
  }

  QString full_;
};

template <typename Widget>
Widget* WithId(Widget* widget, uint32_t id) {
  widget->setProperty("ctrlId", id);
  return widget;
}

}  // namespace

CUIMessageDlgBox::CUIMessageDlgBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(FromUtf8(res::StringText(res::kIdsAppTitle)));

  fileName1_ = WithId(new ElidedLabel(this), kIdcFileName1);
  fileName2_ = WithId(new ElidedLabel(this), kIdcFileName2);
  question_ = WithId(new QLabel(this), kIdcQuestion);
  question_->setTextFormat(Qt::PlainText);
  question_->setWordWrap(true);
  for (QLabel* label : {fileName1_, fileName2_, question_}) label->setFont(QApplication::font());

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  const struct {
    uint32_t id;
    int result;
  } kButtons[] = {{kIdcYes, kYes}, {kIdcYesAll, kYesAll}, {kIdcNo, kNo}};
  for (const auto& b : kButtons) {
    auto* button = WithId(new QPushButton(FromUtf8(res::DialogText(kDialogId, b.id)), this), b.id);
    const int result = b.result;
    connect(button, &QPushButton::clicked, this, [this, result] { Answer(result); });
    buttons->addWidget(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileName1_);
  layout->addWidget(fileName2_);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addWidget(question_);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void CUIMessageDlgBox::SetTexts(std::string_view fileName1, std::string_view fileName2, std::string_view question) {
  static_cast<ElidedLabel*>(fileName1_)->SetFullText(FromUtf8(fileName1));
  static_cast<ElidedLabel*>(fileName2_)->SetFullText(FromUtf8(fileName2));
  question_->setText(FromUtf8(question));
}

void CUIMessageDlgBox::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) result_ = kClosed;  // not on a restore from the task bar
  QDialog::showEvent(event);
}

void CUIMessageDlgBox::Answer(int result) {
  result_ = result;
  done(result);
}

}  // namespace shell
