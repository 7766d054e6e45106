// Tests of the resource module: the message code → string id mapping, the
// English texts, the language libraries beside the program, the current
// module with its English fall-back, and the loader's checks on broken
// libraries (fixture libraries built beside the test).
#include <gtest/gtest.h>

#include <functional>
#include <span>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "res/message_strings.h"
#include "res/menus.h"
#include "res/resource_module.h"
#include "testsupport/temp_env.h"

namespace {

// The folder the test runs from; the language and fixture libraries are
// built into it.
std::string BinFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

std::vector<uint32_t> AllMessageCodes() {
  std::vector<uint32_t> codes;
  for (const res::MessageCodeRange& r : res::MessageCodeRanges())
    for (uint32_t c = r.firstCode; c <= r.lastCode; ++c) codes.push_back(c);
  return codes;
}

// The texts of dialog 165, the question that applies to several files.
constexpr uint32_t kQuestionDialog = 165;
constexpr uint32_t kQuestionControls[] = {0, 1091, 1034, 1092};

// Every test leaves the process on English, whatever it set.
class ResCurrent : public testing::Test {
 protected:
  void TearDown() override { res::SetCurrentResources(nullptr); }
};

// --- Message code → string id ---------------------------------------------

TEST(ResMessageStringId, RangeEdges) {
  struct Case {
    uint32_t code;
    std::optional<uint32_t> id;
  } cases[] = {
      {0x00, std::nullopt},          {0x01, 10000},        {0x29, 10040},
      {0x2A, std::nullopt},          {0x2F, std::nullopt}, {0x30, 10041},
      {0x69, 10098},                 {0x6A, std::nullopt}, {0x6F, std::nullopt},
      {0x70, 10099},                 {0x85, 10120},        {0x86, std::nullopt},
      {0x10000000, std::nullopt},    {0x10000001, 12000},  {0x10000003, 12002},
      {0x10000004, std::nullopt},    {0x10000010, 12003},  {0x10000021, 12006},
      {0x10001001, 12007},           {0x10001004, std::nullopt},
      {0x10001005, 12010},           {0x10001013, 12013},  {0x10001021, 12014},
      {0x10001031, 12015},           {0x10001039, 12023},  {0x10001040, 12024},
      {0x10001041, 12025},           {0x10001042, std::nullopt},
      {0x20000001, std::nullopt},    {0x40000000, std::nullopt},
      {0x40000001, 15000},           {0x40000020, 15031},  {0x40000021, std::nullopt},
      {0x400000FF, std::nullopt},    {0x40000100, 15032},  {0x40000101, 15033},
      {0x40000102, std::nullopt},    {0x50000001, std::nullopt},
      {0x60000000, 14000},           {0x60000010, 14016},  {0x60000011, std::nullopt},
      {0x70000000, std::nullopt},    {0xFFFFFFFF, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(res::MessageStringId(c.code), c.id) << std::hex << c.code;
}

// Within a category the strings follow the codes: ascending, no id twice,
// no hole in the category's block.
TEST(ResMessageStringId, EachCategoryFillsItsBlockInCodeOrder) {
  const std::map<uint32_t, std::pair<uint32_t, uint32_t>> blocks = {
      {0, {10000, 10120}}, {1, {12000, 12025}}, {4, {15000, 15033}}, {6, {14000, 14016}}};
  std::map<uint32_t, std::vector<uint32_t>> ids;
  for (uint32_t code : AllMessageCodes()) {
    std::optional<uint32_t> id = res::MessageStringId(code);
    ASSERT_TRUE(id) << std::hex << code;
    ids[code >> 28].push_back(*id);
  }
  ASSERT_EQ(ids.size(), blocks.size());
  for (const auto& [category, block] : blocks) {
    std::vector<uint32_t> expected;
    for (uint32_t id = block.first; id <= block.second; ++id) expected.push_back(id);
    EXPECT_EQ(ids[category], expected) << "category " << category;
  }
}

// --- English ----------------------------------------------------------------

TEST(ResEnglishTable, MessageTexts) {
  struct Case {
    uint32_t code;
    const char* text;
  } cases[] = {
      {0x02, "System Error!\n(Unknown error)"},
      {0x13, "The file is modified\nOverwrite?"},
      {0x1C, "System Error!(Message Table)"},
      {0x29, "Free space on the disk is less than the setting.\nThe image data may be lost.\nDo you continue?"},
      {0x30, "The file is read only.\nDo you save another name?"},
      {0x3E, "The file already exists.\nOverwrite?"},
      {0x41, "Cannot execute, please install the application to local hard drive."},
      {0x43, "Generated file name is too long. Please re-enter. "},
      {0x4E, "The 'Image Type' in the scan setting is invalid. "},
      {0x51, "Unable to proceed. The file size reached the maximum size (2G byte)."},
      {0x57, "Failed to open the file. Please install Adobe Reader."},
      {0x59, "Execute scanning as continuation of previous?\n'No' was selected, scanning on the new Job condition."},
      {0x66, "Changes to this file have been made.  These changes must be saved prior to executing this "
             "operation.\nSave all changes?"},
      {0x7F, "Since it is scanning, it cannot go into standby mode"},
      {0x10000001, "System Error!"},
      {0x10000020, "Fail to process Dynamic Threshold! \nImage size is too small."},
      {0x10001040, "Failed to create/write \"Blank Page Removal\" LOG file."},
      {0x10001041, "Scanner is busy."},
      {0x40000001, "Failed to allocate memory."},
      {0x40000017, "System Error!\n(Not support LZW) "},
      {0x4000001F, "System Error!\n(Tiff tag error)"},
      {0x40000020, "System Error!\n(Tiff Tiled image error)"},
      {0x40000100, "Failed to allocate memory."},
      {0x40000101, "System Error!\n(Unknown error)"},
      {0x60000000, "System Error!\n(Unknown error)"},
      {0x60000005, "System Error!\n(Unknown error)"},
      {0x6000000A, "Failed to allocate memory."},
      {0x60000010, "System Error!\n(Unknown error)"},
  };
  const res::ResourceModule& english = res::EnglishResources();
  for (const Case& c : cases) {
    std::optional<uint32_t> id = res::MessageStringId(c.code);
    ASSERT_TRUE(id) << std::hex << c.code;
    EXPECT_EQ(english.String(*id), std::optional<std::string_view>(c.text)) << std::hex << c.code;
  }
}

TEST(ResEnglishTable, TitleDialogAndLanguage) {
  const res::ResourceModule& english = res::EnglishResources();
  EXPECT_EQ(english.LangId(), 0x0409);
  EXPECT_EQ(english.String(res::kIdsAppTitle), "Vexo Viewer");
  EXPECT_EQ(english.DialogText(kQuestionDialog, 0), "Message");
  EXPECT_EQ(english.DialogText(kQuestionDialog, 1091), "&Yes");
  EXPECT_EQ(english.DialogText(kQuestionDialog, 1034), "Yes to &All");
  EXPECT_EQ(english.DialogText(kQuestionDialog, 1092), "&No");
  EXPECT_EQ(english.DialogText(kQuestionDialog, 1093), std::nullopt);
  EXPECT_EQ(english.String(9999), std::nullopt);
}

// --- Table modules ------------------------------------------------------------

TEST(ResTableModule, FindsUnsortedEntriesAndTheFirstOfDuplicates) {
  const VistelResString strings[] = {{30, "thirty"}, {10, "ten"}, {20, "twenty"}, {10, "second ten"}};
  const VistelResDialogText dialogs[] = {
      {5, 2, "5/2"}, {5, 1, "5/1"}, {4, 9, "4/9"}, {5, 1, "second 5/1"}, {6, 0, "caption"}};
  const VistelResMenuText menus[] = {{128, 0x80000001u, "&Edit"}, {128, 0x80000000u, "&File"}, {129, 57600, "&New"}};
  const VistelResTable table = {VISTEL_RES_MAGIC, VISTEL_RES_ABI_VERSION, 0x0407, "Test",
                                strings, 4, dialogs, 5, menus, 3};
  std::unique_ptr<res::ResourceModule> module = res::MakeTableModule(table);
  ASSERT_TRUE(module);
  EXPECT_EQ(module->LangId(), 0x0407);

  struct StringCase {
    uint32_t id;
    std::optional<std::string_view> text;
  } stringCases[] = {{10, "ten"}, {20, "twenty"}, {30, "thirty"}, {0, std::nullopt}, {15, std::nullopt},
                     {31, std::nullopt}};
  for (const StringCase& c : stringCases) EXPECT_EQ(module->String(c.id), c.text) << c.id;

  struct PairCase {
    uint32_t a, b;
    std::optional<std::string_view> text;
  } dialogCases[] = {{5, 1, "5/1"}, {5, 2, "5/2"}, {4, 9, "4/9"}, {6, 0, "caption"},
                     {5, 9, std::nullopt}, {4, 1, std::nullopt}, {1, 5, std::nullopt}};
  for (const PairCase& c : dialogCases) EXPECT_EQ(module->DialogText(c.a, c.b), c.text) << c.a << "/" << c.b;

  PairCase menuCases[] = {{128, 0x80000000u, "&File"}, {128, 0x80000001u, "&Edit"}, {129, 57600, "&New"},
                          {128, 57600, std::nullopt}, {129, 0x80000000u, std::nullopt}};
  for (const PairCase& c : menuCases) EXPECT_EQ(module->MenuText(c.a, c.b), c.text) << c.a << "/" << c.b;
}

// --- Language libraries --------------------------------------------------------

struct Language {
  const char* file;
  uint16_t langId;
};
constexpr Language kLanguages[] = {{"Res_DEU.so", 0x0407}, {"Res_JPN.so", 0x0411}};

std::size_t LineBreaks(std::string_view text) { return std::count(text.begin(), text.end(), '\n'); }

TEST(ResLanguageLibraries, TranslateEveryText) {
  const res::ResourceModule& english = res::EnglishResources();
  for (const Language& language : kLanguages) {
    SCOPED_TRACE(language.file);
    std::unique_ptr<res::ResourceModule> module = res::LoadLanguageLibrary(BinFolder() + language.file);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->LangId(), language.langId);
    for (uint32_t code : AllMessageCodes()) {
      const uint32_t id = *res::MessageStringId(code);
      std::optional<std::string_view> en = english.String(id);
      std::optional<std::string_view> text = module->String(id);
      ASSERT_TRUE(en) << std::hex << code;
      ASSERT_TRUE(text) << std::hex << code;
      EXPECT_NE(*text, *en) << "untranslated, code " << std::hex << code;
      EXPECT_EQ(LineBreaks(*text), LineBreaks(*en)) << "code " << std::hex << code;
      if (en->find("(2G byte)") != std::string_view::npos) {
        EXPECT_NE(text->find("(2G byte)"), std::string_view::npos) << "code " << std::hex << code;
      }
    }
    EXPECT_EQ(module->String(res::kIdsAppTitle), "Vexo Viewer");
    for (uint32_t control : kQuestionControls) {
      std::optional<std::string_view> text = module->DialogText(kQuestionDialog, control);
      ASSERT_TRUE(text) << control;
      EXPECT_NE(*text, *english.DialogText(kQuestionDialog, control)) << control;
      // Buttons keep an access key.
      if (control != 0) {
        EXPECT_NE(text->find('&'), std::string_view::npos) << control;
      }
    }
  }
}

TEST_F(ResCurrent, LoadedLanguageBecomesCurrent) {
  const uint32_t openFailed = *res::MessageStringId(0x04);
  EXPECT_EQ(res::LoadString(openFailed), "Failed to open the file.");

  res::SetCurrentResources(res::LoadLanguageLibrary(BinFolder() + "Res_DEU.so"));
  EXPECT_EQ(res::CurrentResources().LangId(), 0x0407);
  EXPECT_EQ(res::LoadString(openFailed), "Die Datei konnte nicht geöffnet werden.");
  EXPECT_EQ(res::StringText(openFailed), "Die Datei konnte nicht geöffnet werden.");
  EXPECT_EQ(res::DialogText(kQuestionDialog, 1092), "&Nein");

  res::SetCurrentResources(nullptr);
  EXPECT_EQ(res::CurrentResources().LangId(), 0x0409);
  EXPECT_EQ(res::LoadString(openFailed), "Failed to open the file.");
}

// A library that translates only some texts: LoadString reports the gap,
// the interface texts fall back to English, and what English lacks is empty.
TEST_F(ResCurrent, PartialLibraryFallsBackToEnglish) {
  res::SetCurrentResources(res::LoadLanguageLibrary(BinFolder() + "ResFixture_Partial.so"));
  ASSERT_EQ(res::CurrentResources().LangId(), 0x0407);
  const uint32_t translated = *res::MessageStringId(0x04);
  const uint32_t untranslated = *res::MessageStringId(0x01);

  EXPECT_EQ(res::LoadString(translated), "Die Datei konnte nicht geöffnet werden.");
  EXPECT_EQ(res::StringText(translated), "Die Datei konnte nicht geöffnet werden.");
  EXPECT_EQ(res::LoadString(untranslated), std::nullopt);
  EXPECT_EQ(res::StringText(untranslated), "System Error!");
  EXPECT_EQ(res::LoadString(9999), std::nullopt);
  EXPECT_EQ(res::StringText(9999), "");

  EXPECT_EQ(res::DialogText(kQuestionDialog, 0), "Meldung");
  EXPECT_EQ(res::DialogText(kQuestionDialog, 1091), "&Yes");
  EXPECT_EQ(res::DialogText(kQuestionDialog, 1093), "");
  EXPECT_EQ(res::MenuText(128, 57600), "");
}

// --- Loader checks --------------------------------------------------------------

TEST(ResLoader, RefusesWhatIsNotAGoodLibrary) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("Res_TXT.so"), "this is not a shared library\n");
  struct Case {
    const char* what;
    std::string path;
  } cases[] = {
      {"missing file", dir.File("Res_XXX.so")},
      {"empty name", ""},
      {"not a library", dir.File("Res_TXT.so")},
      {"no entry point", BinFolder() + "ResFixture_NoEntry.so"},
      {"entry returns null", BinFolder() + "ResFixture_NullTable.so"},
      {"bad magic", BinFolder() + "ResFixture_BadMagic.so"},
      {"wrong version", BinFolder() + "ResFixture_BadVersion.so"},
      {"LANGID above 16 bits", BinFolder() + "ResFixture_WideLangId.so"},
      {"null text", BinFolder() + "ResFixture_NullText.so"},
      {"null array", BinFolder() + "ResFixture_NullArray.so"},
      {"absurd count", BinFolder() + "ResFixture_AbsurdCount.so"},
      {"one entry too many", BinFolder() + "ResFixture_CountOver.so"},
      {"text one byte too long", BinFolder() + "ResFixture_TextOver.so"},
  };
  for (const Case& c : cases) EXPECT_EQ(res::LoadLanguageLibrary(c.path), nullptr) << c.what;
}

TEST(ResLoader, AcceptsTheLimits) {
  std::unique_ptr<res::ResourceModule> most = res::LoadLanguageLibrary(BinFolder() + "ResFixture_CountLimit.so");
  ASSERT_TRUE(most);
  EXPECT_EQ(most->String(1), "x");
  EXPECT_EQ(most->String(100000), "x");
  EXPECT_EQ(most->String(100001), std::nullopt);

  std::unique_ptr<res::ResourceModule> longest = res::LoadLanguageLibrary(BinFolder() + "ResFixture_TextLimit.so");
  ASSERT_TRUE(longest);
  std::optional<std::string_view> text = longest->DialogText(kQuestionDialog, 1094);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 65536u);
}

}  // namespace

// The command resources: every item of the menus and toolbars has its text,
// and the tooltip half is there for every toolbar button.
TEST(CommandResources, EveryMenuItemAndButtonHasItsTexts) {
  const res::ResourceModule& en = res::EnglishResources();
  std::function<void(uint32_t, std::span<const res::MenuItem>, int)> walk =
      [&](uint32_t menu, std::span<const res::MenuItem> items, int top) {
        for (size_t i = 0; i < items.size(); ++i) {
          const res::MenuItem& item = items[i];
          if (item.kind == res::MenuItem::Kind::kCommand) {
            EXPECT_TRUE(en.MenuText(menu, item.commandId)) << menu << "/" << item.commandId;
            EXPECT_TRUE(en.String(item.commandId)) << item.commandId;
          } else if (item.kind == res::MenuItem::Kind::kPopup) {
            const uint32_t key = top < 0 ? res::PopupKey(uint32_t(i)) : res::SubmenuKey(uint32_t(top), uint32_t(i));
            EXPECT_TRUE(en.MenuText(menu, key)) << menu << " pop-up " << top << "/" << i;
            walk(menu, item.items, top < 0 ? int(i) : top);
          }
        }
      };
  for (uint32_t menu : {res::kMenuMain, res::kMenuPageEdit, res::kMenuPlugIn}) walk(menu, res::MenuStructure(menu), -1);

  for (uint32_t bar : {res::kToolbarFile, res::kToolbarScan, res::kToolbarView, res::kToolbarPage, res::kToolbarPlugIn}) {
    ASSERT_FALSE(res::ToolbarButtons(bar).empty()) << bar;
    for (uint32_t id : res::ToolbarButtons(bar)) {
      if (id == 0) continue;
      const auto text = en.String(id);
      ASSERT_TRUE(text) << id;
      EXPECT_FALSE(res::SplitCommandString(*text).tip.empty()) << id;
    }
  }
  // Editing greys the View pop-up's Separation and Order sub-menus by position.
  const auto view = res::MenuStructure(res::kMenuMain)[4].items;
  EXPECT_EQ(view[9].kind, res::MenuItem::Kind::kPopup);
  EXPECT_EQ(view[9].items[0].commandId, 32787u);
  EXPECT_EQ(view[10].items[1].commandId, 32816u);
  EXPECT_EQ(res::SplitCommandString("a\nb").prompt, "a");
  EXPECT_EQ(res::SplitCommandString("no tip").tip, "");
}

// --- Command resources of the language libraries ------------------------------

namespace {

// The printf conversions of a text in order, each with its flags, width and
// length ("%%" is a literal percent, not a conversion).
std::vector<std::string> Conversions(std::string_view text) {
  std::vector<std::string> conversions;
  for (size_t i = text.find('%'); i != std::string_view::npos; i = text.find('%', i)) {
    if (i + 1 < text.size() && text[i + 1] == '%') {
      i += 2;
      continue;
    }
    const size_t end = text.find_first_not_of("-+ #0123456789.*hlLjzt", i + 1);
    conversions.emplace_back(text.substr(i, end == std::string_view::npos ? end : end - i + 1));
    if (end == std::string_view::npos) break;
    i = end + 1;
  }
  return conversions;
}

// Access-key markers: single "&", not the doubled literal one.
size_t AccessKeys(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (i + 1 < text.size() && text[i + 1] == '&') {
      ++i;
    } else {
      ++n;
    }
  }
  return n;
}

// The accelerator half of a menu text, tab included ("" without one).
std::string_view AcceleratorText(std::string_view text) {
  const size_t tab = text.find('\t');
  return tab == std::string_view::npos ? std::string_view() : text.substr(tab);
}

// "開く(&O)..." and "ファイル(&F)": the access key in brackets after the
// label, before a trailing ellipsis and the accelerator.
bool HasSuffixAccessKey(std::string_view text) {
  std::string_view label = text.substr(0, text.find('\t'));
  if (label.ends_with("...")) label.remove_suffix(3);
  if (label.size() < 5 || !label.ends_with(')')) return false;
  const std::string_view key = label.substr(label.size() - 4);
  return key.starts_with("(&") && ((key[2] >= 'A' && key[2] <= 'Z') || (key[2] >= '0' && key[2] <= '9'));
}

using MenuKey = std::pair<uint32_t, uint32_t>;  // (menu id, text key)

std::vector<MenuKey> AllMenuKeys() {
  std::vector<MenuKey> keys;
  std::function<void(uint32_t, std::span<const res::MenuItem>, int)> walk =
      [&](uint32_t menu, std::span<const res::MenuItem> items, int top) {
        for (size_t i = 0; i < items.size(); ++i) {
          const res::MenuItem& item = items[i];
          if (item.kind == res::MenuItem::Kind::kCommand) {
            keys.emplace_back(menu, item.commandId);
          } else if (item.kind == res::MenuItem::Kind::kPopup) {
            keys.emplace_back(menu, top < 0 ? res::PopupKey(uint32_t(i)) : res::SubmenuKey(uint32_t(top), uint32_t(i)));
            walk(menu, item.items, top < 0 ? int(i) : top);
          }
        }
      };
  for (uint32_t menu : {res::kMenuMain, res::kMenuPageEdit, res::kMenuPlugIn}) walk(menu, res::MenuStructure(menu), -1);
  return keys;
}

// The status-bar and toolbar strings and every command string of the English
// table (command ids start at 0x8000; the application title shares that range
// and stays untranslated).
std::vector<uint32_t> InterfaceStringIds() {
  std::vector<uint32_t> ids = {111, 112, 508};
  const VistelResTable& table = res::EnglishTable();
  for (const VistelResString& s : std::span(table.strings, table.stringCount))
    if (s.id >= 0x8000 && s.id != res::kIdsAppTitle) ids.push_back(s.id);
  return ids;
}

struct CommandLanguage {
  const char* file;
  bool suffixAccessKeys;
  // Texts that read the same as the English ones in this language.
  std::vector<uint32_t> sameStrings;
  std::vector<MenuKey> sameMenuTexts;
};

}  // namespace

TEST(ResLanguageLibraries, TranslateTheCommandResources) {
  const CommandLanguage languages[] = {
      {"Res_DEU.so", false,
       {508},  // "Job": the German term as well
       {{res::kMenuMain, 32773}, {res::kMenuMain, 32787}, {res::kMenuMain, 32788}, {res::kMenuMain, 32789},
        {res::kMenuMain, 32813}}},  // "&1:1", "&1", "&2", "&4", "&8"
      {"Res_JPN.so", true, {}, {}},
  };
  const std::vector<uint32_t> ids = InterfaceStringIds();
  const std::vector<MenuKey> menuKeys = AllMenuKeys();
  ASSERT_GT(ids.size(), 3u);
  ASSERT_FALSE(menuKeys.empty());
  const res::ResourceModule& english = res::EnglishResources();

  for (const CommandLanguage& language : languages) {
    SCOPED_TRACE(language.file);
    std::unique_ptr<res::ResourceModule> module = res::LoadLanguageLibrary(BinFolder() + language.file);
    ASSERT_TRUE(module);

    for (uint32_t id : ids) {
      const std::optional<std::string_view> en = english.String(id);
      const std::optional<std::string_view> text = module->String(id);
      ASSERT_TRUE(en) << id;
      if (!text) {
        ADD_FAILURE() << "missing string " << id;
        continue;
      }
      if (std::find(language.sameStrings.begin(), language.sameStrings.end(), id) == language.sameStrings.end()) {
        EXPECT_NE(*text, *en) << "untranslated string " << id;
      }
      EXPECT_EQ(LineBreaks(*text), LineBreaks(*en)) << id;
      EXPECT_EQ(Conversions(*text), Conversions(*en)) << id;
      const res::CommandTexts enHalves = res::SplitCommandString(*en);
      const res::CommandTexts halves = res::SplitCommandString(*text);
      EXPECT_EQ(halves.prompt.empty(), enHalves.prompt.empty()) << id;
      EXPECT_EQ(halves.tip.empty(), enHalves.tip.empty()) << id;
    }

    for (const auto& [menu, key] : menuKeys) {
      const std::optional<std::string_view> en = english.MenuText(menu, key);
      const std::optional<std::string_view> text = module->MenuText(menu, key);
      ASSERT_TRUE(en) << menu << "/" << std::hex << key;
      if (!text) {
        ADD_FAILURE() << "missing menu text " << menu << "/" << std::hex << key;
        continue;
      }
      const bool same = std::find(language.sameMenuTexts.begin(), language.sameMenuTexts.end(), MenuKey{menu, key}) !=
                        language.sameMenuTexts.end();
      if (!same) {
        EXPECT_NE(*text, *en) << "untranslated menu text " << menu << "/" << std::hex << key;
      }
      EXPECT_EQ(LineBreaks(*text), LineBreaks(*en)) << menu << "/" << std::hex << key;
      EXPECT_EQ(AccessKeys(*text), AccessKeys(*en)) << menu << "/" << std::hex << key << ": " << *text;
      EXPECT_EQ(AcceleratorText(*text), AcceleratorText(*en)) << menu << "/" << std::hex << key << ": " << *text;
      if (language.suffixAccessKeys && AccessKeys(*en) > 0) {
        EXPECT_TRUE(HasSuffixAccessKey(*text)) << menu << "/" << std::hex << key << ": " << *text;
      }
    }
  }
}


