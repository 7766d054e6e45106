// CUIMessageDlgBox: the three-button question for an operation on several
// files (Yes, Yes to All, No), showing two file names and the question.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string_view>

class QLabel;
class QPushButton;

namespace shell {

class CUIMessageDlgBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr uint32_t kDialogId = 165;
  // Control ids (each control carries its id as the "ctrlId" property).
  static constexpr uint32_t kIdcFileName1 = 1093, kIdcFileName2 = 1182, kIdcQuestion = 1094;
  static constexpr uint32_t kIdcYes = 1091, kIdcYesAll = 1034, kIdcNo = 1092;

  // Result(): also what exec() returns.
  enum Answer : int { kClosed = 0, kYes = 1, kYesAll = 2, kNo = 3 };

  explicit CUIMessageDlgBox(QWidget* parent = nullptr);

  // The two file names (shortened in the middle to the width of their
  // controls; the full name is the tooltip) and the question. UTF-8.
  void SetTexts(std::string_view fileName1, std::string_view fileName2, std::string_view question);

  // The button that closed the dialog, kClosed when it was closed otherwise.
  int Result() const noexcept { return result_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Answer(int result);

  QLabel* fileName1_ = nullptr;
  QLabel* fileName2_ = nullptr;
  QLabel* question_ = nullptr;
  int result_ = kClosed;
};

}  // namespace shell
