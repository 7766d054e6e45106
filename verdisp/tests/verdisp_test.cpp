// DispRelationLibrary: versions of real files of the build, the missing
// and odd records, and the dialog shown offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ZoVerDisp.h"
#include "platform/paths.h"
#include "testsupport/temp_env.h"

namespace fs = std::filesystem;

namespace {

RELATION_LIB_INFO Record(int32_t kind, const char* name, const char* sub = "") {
  RELATION_LIB_INFO r;
  std::memset(&r, 0, sizeof r);
  r.folderKind = kind;
  std::strncpy(r.subFolder, sub, sizeof r.subFolder - 1);
  std::strncpy(r.fileName, name, sizeof r.fileName - 1);
  std::memset(r.version, 'x', sizeof r.version);  // must be overwritten and terminated
  return r;
}

std::string BinFolder() { return platform::ProgramFolder(); }

QWidget* FindDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "CDllVersionDlg" && w->isVisible()) return w;
  return nullptr;
}

template <typename T>
T* ById(QWidget* parent, int id) {
  for (T* child : parent->findChildren<T*>())
    if (child->property("ctrlId").toInt() == id) return child;
  return nullptr;
}

}  // namespace

TEST(DispRelationLibrary, FillsVersionsOfRealFilesWithoutShowing) {
  std::vector<RELATION_LIB_INFO> records = {Record(ZOVERDISP_FOLDER_PROGRAM, "ZoVerDisp.so"),
                                            Record(ZOVERDISP_FOLDER_PROGRAM, "platform.so"),
                                            Record(ZOVERDISP_FOLDER_PROGRAM, "NoSuchLibrary.so")};
  EXPECT_EQ(DispRelationLibrary(0, records.data(), 3, 1033), ZOVERDISP_OK);
  EXPECT_STREQ(records[0].version, VISTEL_TEST_PROJECT_VERSION);
  EXPECT_STREQ(records[1].version, VISTEL_TEST_PROJECT_VERSION);
  EXPECT_STREQ(records[2].version, " does not exist");
  EXPECT_EQ(FindDialog(), nullptr);
}

TEST(DispRelationLibrary, NullRecordsDoNothing) {
  EXPECT_EQ(DispRelationLibrary(1, nullptr, 3, 1033), ZOVERDISP_NULL_RECORDS);
}

TEST(DispRelationLibrary, FolderKindsAndOddRecords) {
  testsupport::TempDir windows, system;
  fs::create_directories(windows.Path() + "sub/deeper");
  fs::copy_file(BinFolder() + "platform.so", windows.Path() + "sub/deeper/Lib.so");
  fs::copy_file(BinFolder() + "platform.so", system.Path() + "Sys.so");
  testsupport::WriteFile(system.Path() + "Plain.so", "not a library at all\n");
  testsupport::ScopedEnv w("VISTEL_WINDOWS_DIR", windows.Path());
  testsupport::ScopedEnv s("VISTEL_SYSTEM_DIR", system.Path());

  RELATION_LIB_INFO unterminated = Record(ZOVERDISP_FOLDER_PROGRAM, "");
  std::memset(unterminated.fileName, 'a', sizeof unterminated.fileName);  // no NUL anywhere
  std::memset(unterminated.subFolder, 'b', sizeof unterminated.subFolder);

  struct Case {
    const char* what;
    RELATION_LIB_INFO record;
    const char* version;
  } cases[] = {
      {"Windows folder with a two-level subfolder", Record(0, "Lib.so", "sub/deeper"), VISTEL_TEST_PROJECT_VERSION},
      {"subfolder written with backslashes", Record(0, "Lib.so", "sub\\deeper"), VISTEL_TEST_PROJECT_VERSION},
      {"system folder", Record(1, "Sys.so"), VISTEL_TEST_PROJECT_VERSION},
      {"file without version information", Record(1, "Plain.so"), " does not exist"},
      {"no translation table: the fixed version", Record(2, "verdisp_no_translation.so"), "2.3.4.5"},
      {"a folder kind nobody passes", Record(7, "platform.so"), " does not exist"},
      {"unterminated fields", unterminated, " does not exist"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DispRelationLibrary(0, &c.record, 1, 1033), ZOVERDISP_OK);
    EXPECT_STREQ(c.record.version, c.version);
  }
}

TEST(DispRelationLibrary, LanguageWithoutTemplateFailsAfterFilling) {
  // German lives under its primary identifier only; 0x0407 has no template.
  for (int32_t lang : {0x0407, 0x0809, 0x0412, 0}) {
    SCOPED_TRACE(lang);
    RELATION_LIB_INFO r = Record(ZOVERDISP_FOLDER_PROGRAM, "ZoVerDisp.so");
    EXPECT_EQ(DispRelationLibrary(1, &r, 1, lang), ZOVERDISP_NO_DIALOG);
    EXPECT_STREQ(r.version, VISTEL_TEST_PROJECT_VERSION);
  }
}

struct Seen {
  bool found = false;
  QString title, header0, header1;
  std::vector<std::pair<QString, QString>> rows;
  int col0 = 0, col1 = 0, listWidth = 0, longNameWidth = 0;
  bool namesElided = false;
};

// Opens the dialog, reads it from a zero-delay timer, and presses OK.
static int32_t ShowAndRead(std::vector<RELATION_LIB_INFO>& records, int32_t lang, Seen& seen,
                           const char* screenshot) {
  QTimer::singleShot(0, [&] {
    QWidget* dlg = FindDialog();
    if (!dlg) return;
    seen.found = true;
    seen.title = dlg->windowTitle();
    auto* list = ById<QTreeWidget>(dlg, 22003);
    if (list) {
      seen.header0 = list->headerItem()->text(0);
      seen.header1 = list->headerItem()->text(1);
      for (int i = 0; i < list->topLevelItemCount(); ++i)
        seen.rows.emplace_back(list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1));
      seen.col0 = list->columnWidth(0);
      seen.col1 = list->columnWidth(1);
      seen.listWidth = list->contentsRect().width();
      // What a cell needs to show its text unshortened, as the list itself
      // would size it.
      for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QModelIndex index = list->model()->index(i, 0);
        int need = list->sizeHintForIndex(index).width();
        seen.longNameWidth = std::max(seen.longNameWidth, need);
        if (list->visualRect(index).width() < need) seen.namesElided = true;
      }
    }
    if (screenshot) dlg->grab().save(QString::fromStdString(BinFolder() + screenshot));
    if (auto* ok = ById<QPushButton>(dlg, 1)) ok->click();
  });
  return DispRelationLibrary(1, records.data(), int32_t(records.size()), lang);
}

TEST(DispRelationLibrary, DialogListsRowsAndSizesColumns) {
  std::vector<RELATION_LIB_INFO> records = {Record(2, "ZoVerDisp.so"), Record(2, "Missing.so")};
  Seen seen;
  ASSERT_EQ(ShowAndRead(records, 1033, seen, "verdisp_about.png"), ZOVERDISP_OK);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, "About");
  EXPECT_EQ(seen.header0, "Library");
  EXPECT_EQ(seen.header1, "Version");
  ASSERT_EQ(seen.rows.size(), 2u);
  EXPECT_EQ(seen.rows[0], std::make_pair(QString("ZoVerDisp.so"), QString(VISTEL_TEST_PROJECT_VERSION)));
  EXPECT_EQ(seen.rows[1], std::make_pair(QString("Missing.so"), QString(" does not exist")));
  EXPECT_EQ(seen.col0 + seen.col1, seen.listWidth - 5);
  EXPECT_FALSE(seen.namesElided);
  EXPECT_EQ(FindDialog(), nullptr);
}

TEST(DispRelationLibrary, LongFileNameWidensFirstColumn) {
  {
    SCOPED_TRACE("a name wider than the header but narrower than the list");
    std::vector<RELATION_LIB_INFO> records = {Record(2, "A"), Record(2, "QelScnCommUI_x.so")};
    Seen seen;
    ASSERT_EQ(ShowAndRead(records, 1033, seen, nullptr), ZOVERDISP_OK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.col0, seen.longNameWidth + 20);
    EXPECT_EQ(seen.col0 + seen.col1, seen.listWidth - 5);
    EXPECT_FALSE(seen.namesElided);
  }
  {
    SCOPED_TRACE("a name wider than the whole list keeps the version column usable");
    std::vector<RELATION_LIB_INFO> records = {
        Record(2, "A"), Record(2, "AVeryLongLibraryFileNameThatIsWiderThanTheHeader_0123456789.so")};
    Seen seen;
    ASSERT_EQ(ShowAndRead(records, 1033, seen, nullptr), ZOVERDISP_OK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.col0, seen.longNameWidth + 20);
    EXPECT_GT(seen.col0, seen.listWidth);
    EXPECT_GE(seen.col1, 20);
  }
}

TEST(DispRelationLibrary, TranslatedTemplates) {
  struct Case {
    int32_t lang;
    const char* title;
    const char* header0;
    const char* header1;
  } cases[] = {
      {7, "Info", "Bibliothek", "Version"},
      {1041, "バージョン情報", "ライブラリ", "バージョン"},
      {2052, "关于", "库", "版本"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    std::vector<RELATION_LIB_INFO> records = {Record(2, "ZoVerDisp.so")};
    Seen seen;
    ASSERT_EQ(ShowAndRead(records, c.lang, seen, c.lang == 1041 ? "verdisp_about_jpn.png" : nullptr), ZOVERDISP_OK);
    EXPECT_EQ(seen.title, QString::fromUtf8(c.title));
    EXPECT_FALSE(seen.namesElided);
    EXPECT_EQ(seen.header0, QString::fromUtf8(c.header0));
    EXPECT_EQ(seen.header1, QString::fromUtf8(c.header1));
  }
}

TEST(DispRelationLibrary, PlainCProgramFillsVersions) {
  std::string cmd = BinFolder() + "verdisp_probe ZoVerDisp.so Hux_Missing.so platform.so";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  int status = pclose(p);
  EXPECT_EQ(status, 0);
  std::string v = VISTEL_TEST_PROJECT_VERSION;
  EXPECT_EQ(out, "ZoVerDisp.so\t" + v + "\nHux_Missing.so\t does not exist\nplatform.so\t" + v + "\n");
}
