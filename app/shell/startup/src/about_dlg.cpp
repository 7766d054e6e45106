// CAboutDlg (dialog 100), the version display library it calls, and the
// About command.
#include "shell/about_dlg.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "platform/dynlib.h"
#include "res/resource_module.h"
#include "shell/language_choice.h"
#include "shell/opening_logo_dlg.h"

namespace shell {
namespace {

// The running program, whose own version the box shows.
constexpr char kRunningProgram[] = "/proc/self/exe";
// The part of the opening logo shown beside the texts: the scanner.
constexpr QRect kLogoPart(20, 14, 160, 212);
constexpr int kLogoPartHeight = 96;

QString Text(uint32_t controlId) {
  const std::string text = res::DialogText(CAboutDlg::kDialogId, controlId);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Widget>
Widget* WithId(Widget* widget, uint32_t id) {
  widget->setProperty("ctrlId", id);
  return widget;
}

QLabel* TextLabel(QWidget* parent, uint32_t id, const QString& text) {
  auto* label = WithId(new QLabel(text, parent), id);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

VersionDisplayLibrary::VersionDisplayLibrary(std::string_view name) : library_(platform::DynamicLibrary::Load(name)) {
  if (library_) function_ = library_->Function<DispRelationLibraryFn>(kDispRelationLibraryName);
}

VersionDisplayLibrary::~VersionDisplayLibrary() = default;

CAboutDlg::CAboutDlg(DispRelationLibraryFn dispRelationLibrary, std::vector<RELATION_LIB_INFO> records,
                     int32_t langId, QWidget* parent)
    : QDialog(parent), dispRelationLibrary_(dispRelationLibrary), records_(std::move(records)), langId_(langId) {
  setObjectName(QStringLiteral("CAboutDlg"));
  setProperty("ctrlId", kDialogId);
  setWindowTitle(Text(0));

  auto* picture = new QLabel(this);
  const QImage logo = OpeningLogoBitmap().copy(kLogoPart);
  picture->setPixmap(QPixmap::fromImage(logo.scaledToHeight(kLogoPartHeight, Qt::SmoothTransformation)));
  picture->setAlignment(Qt::AlignTop);

  QLabel* name = TextLabel(this, kIdcAppName, Text(kIdcAppName));
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  const std::optional<std::string> version = FileVersionText(kRunningProgram);
  QLabel* versionText = TextLabel(this, kIdcVersion, version ? QString::fromStdString(*version) : QString());
  versionText->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* texts = new QGridLayout;
  texts->addWidget(name, 0, 0, 1, 2);
  texts->addWidget(TextLabel(this, kIdcVersionLabel, Text(kIdcVersionLabel)), 1, 0);
  texts->addWidget(versionText, 1, 1);
  texts->addWidget(TextLabel(this, kIdcCopyright, Text(kIdcCopyright)), 2, 0, 1, 2);
  texts->setColumnStretch(1, 1);
  texts->setRowStretch(3, 1);

  auto* ok = WithId(new QPushButton(Text(kIdcOk), this), kIdcOk);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* more = WithId(new QPushButton(Text(kIdcMore), this), kIdcMore);
  more->setAutoDefault(false);
  more->setEnabled(dispRelationLibrary_ != nullptr);
  connect(more, &QPushButton::clicked, this, &CAboutDlg::OnMore);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(more);
  buttons->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(picture);
  layout->addSpacing(fontMetrics().averageCharWidth() * 2);
  layout->addLayout(texts, 1);
  layout->addSpacing(fontMetrics().averageCharWidth() * 2);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CAboutDlg::OnMore() {
  if (!dispRelationLibrary_) return;
  lastMoreResult_ = dispRelationLibrary_(1, records_.data(), static_cast<int32_t>(records_.size()), langId_);
}

void ShowAboutBox(uint16_t userLangId, QWidget* parent) {
  // Loaded before the box opens and freed after it closes, so the library is
  // in memory only while its list can be asked for.
  VersionDisplayLibrary library(kVerDispLibrary);
  CAboutDlg dialog(library.Function(), RelationLibraryRecords(ChooseLanguage(userLangId)),
                   RelationLibraryLangId(userLangId), parent);
  dialog.exec();
}

}  // namespace shell
