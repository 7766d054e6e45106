// CDllVersionDlg: the modal "About" list of related libraries. Built from
// the library's own template (dialog 22000, 161 x 110 dialog units).
#include <QFontMetrics>
#include <algorithm>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

#include "verdisp_private.h"

namespace verdisp {
namespace {

// Dialog units to pixels from the dialog font, as a template is laid out.
struct DialogUnits {
  explicit DialogUnits(const QFont& font) {
    QFontMetrics m(font);
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX = (m.horizontalAdvance(sample) / 26 + 1) / 2;
    baseY = m.height();
  }
  int X(int du) const { return du * baseX / 4; }
  int Y(int du) const { return du * baseY / 8; }
  QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
  int baseX;
  int baseY;
};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Field(const char (&field)[64]) { return QString::fromUtf8(field, int(strnlen(field, sizeof field))); }

}  // namespace

CDllVersionDlg::CDllVersionDlg(const LanguageResources& texts, std::span<const RELATION_LIB_INFO> records)
    : QDialog(nullptr), texts_(texts), records_(records), list_(new QTreeWidget(this)) {
  setObjectName(QStringLiteral("CDllVersionDlg"));
  setProperty("ctrlId", kDialogId);
  setWindowTitle(Text(texts.caption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  DialogUnits du(font());
  setFixedSize(du.X(161), du.Y(110));

  list_->setProperty("ctrlId", kListId);
  list_->setGeometry(du.Rect(7, 7, 147, 76));
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setColumnCount(2);
  list_->setHeaderLabels({Text(texts.library), Text(texts.version)});
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionsMovable(false);
  list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (const RELATION_LIB_INFO& record : records_) {
    auto* row = new QTreeWidgetItem(list_, {Field(record.fileName), Field(record.version)});
    row->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    row->setTextAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
  }

  auto* ok = new QPushButton(Text(texts.okButton), this);
  ok->setProperty("ctrlId", kOkId);
  ok->setGeometry(du.Rect(55, 89, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  SizeColumns();
}

// Width a text needs in a cell of the list, with the item margins the
// style draws around it, measured the way the list lays out its items.
int CDllVersionDlg::TextWidth(const QString& text) const {
  QStyleOptionViewItem option;
  option.initFrom(list_);
  option.font = list_->font();
  option.fontMetrics = QFontMetrics(option.font);
  option.features = QStyleOptionViewItem::HasDisplay;
  option.text = text;
  return list_->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), list_).width();
}

// Column 1 fits its header and every file name with some padding; column 2
// takes the rest of the list, less a small gap so no scroll bar appears.
// When column 1 alone is wider than the list there is no rest to take:
// column 2 then fits its own texts and the list scrolls sideways.
void CDllVersionDlg::SizeColumns() {
  int first = TextWidth(Text(texts_.library)) + kColumnPadding;
  int widestVersion = TextWidth(Text(texts_.version));
  for (const RELATION_LIB_INFO& record : records_) {
    int w = TextWidth(Field(record.fileName));
    if (w > first) first = w + kColumnPadding;
    widestVersion = std::max(widestVersion, TextWidth(Field(record.version)));
  }
  int second = list_->contentsRect().width() - first - kListEndGap;
  if (second <= 0) second = widestVersion + kColumnPadding;
  list_->setColumnWidth(0, first);
  list_->setColumnWidth(1, second);
}

}  // namespace verdisp
