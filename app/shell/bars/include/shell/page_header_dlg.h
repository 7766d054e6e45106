// CBelvPageHeaderDlg: the header above each page pane (dialog 144): a
// caption-less child holding the pane's caption in a centred label (1050)
// and a hidden icon (1075). The splitter places it above its pane at the
// pane's width.
//
// GUI thread only.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;

namespace shell {

class CBelvPageHeaderDlg : public QWidget {
 public:
  static constexpr uint32_t kDialogId = 144;
  static constexpr uint32_t kLabelId = 1050;
  static constexpr uint32_t kIconId = 1075;
  // The dialog's size in dialog units (width 4 units per average character
  // width, height 8 units per font height).
  static constexpr int kWidthDlu = 187;
  static constexpr int kHeightDlu = 7;

  explicit CBelvPageHeaderDlg(QWidget* parent = nullptr);

  void SetLabelText(const QString& text);
  QString LabelText() const;

  // The header's height: the dialog height in the current font, never less
  // than the label's text needs.
  int HeaderHeight() const noexcept { return height(); }

  // Stretches the label over the header's width.
  void Layout();

  QLabel* Label() const noexcept { return label_; }
  QLabel* Icon() const noexcept { return icon_; }

  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QLabel* label_;
  QLabel* icon_;
};

}  // namespace shell
