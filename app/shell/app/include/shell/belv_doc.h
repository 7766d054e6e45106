// CBelvAppDoc: the document of the main window. It holds the page counters
// of the working file; the pages themselves live in the working file model.
#pragma once

#include <QObject>

class CVEXOFileInfo;

class CBelvAppDoc : public QObject {
 public:
  explicit CBelvAppDoc(CVEXOFileInfo& model, QObject* parent = nullptr) : QObject(parent), model_(model) {}

  CVEXOFileInfo& Model() noexcept { return model_; }
  const CVEXOFileInfo& Model() const noexcept { return model_; }

  int Total() const noexcept { return total_; }
  int FirstPage() const noexcept { return firstPage_; }
  void SetCounters(int total, int firstPage) noexcept {
    total_ = total;
    firstPage_ = firstPage;
  }
  // Empties the document and the model.
  void Clear();

 private:
  CVEXOFileInfo& model_;
  int total_ = 0;
  int firstPage_ = 0;
};
