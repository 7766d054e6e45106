#include "shell/belv_doc.h"

#include "model/vexo_file_info.h"

void CBelvAppDoc::Clear() {
  total_ = 0;
  firstPage_ = 0;
  model_.Clear();
}
