// Composing and presenting messages through the production presenter (over
// a recording sink), the current presenter of the process, and language
// modules that lack strings.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/syserror.h"
#include "res/message_strings.h"
#include "res/resource_module.h"
#include "shell/message_presenter.h"
#include "shell/message_table.h"

namespace shell {
namespace {

// A string literal must not turn into the add-code flag.
template <typename P>
concept TakesLiteralAsSecond = requires(P& p) { p.ShowMessage(1u, "detail"); };
template <typename P>
concept TakesFlagAsSecond = requires(P& p) { p.ShowMessage(1u, true); };
static_assert(!TakesLiteralAsSecond<MessagePresenter> && !TakesLiteralAsSecond<TableMessagePresenter>);
static_assert(TakesFlagAsSecond<MessagePresenter> && TakesFlagAsSecond<TableMessagePresenter>);

class RecordingSink : public MessageBoxSink {
 public:
  struct Box {
    std::string text, caption;
    uint32_t style;
    int32_t helpContext;
  };
  int Show(const std::string& text, const std::string& caption, uint32_t style, int32_t helpContext) override {
    boxes.push_back({text, caption, style, helpContext});
    return answer;
  }
  std::vector<Box> boxes;
  int answer = kResultOk;
};

class PresenterTest : public ::testing::Test {
 protected:
  void SetUp() override { presenter.SetUnknownCodeHook([this] { ++hookCalls; }); }
  const RecordingSink::Box& OnlyBox() {
    EXPECT_EQ(sink.boxes.size(), 1u);
    static const RecordingSink::Box kNone{};
    return sink.boxes.empty() ? kNone : sink.boxes.back();
  }

  RecordingSink sink;
  TableMessagePresenter presenter{sink};
  int hookCalls = 0;
};

struct TextCase {
  const char* name;
  uint32_t code;
  const char* detail;
  bool detailFirst;
  bool addCode;
  const char* text;
  uint32_t style;
};

const TextCase kTextCases[] = {
    {"NoDetail", 0x41, "", false, false,
     "Cannot execute, please install the application to local hard drive.", 0x30},
    {"DetailAndCode", 0x57, "/opt/vistel/Manual.pdf", false, true,
     "Failed to open the file. Please install Adobe Reader.\n\n/opt/vistel/Manual.pdf\n\n(Code:00000057)", 0x30},
    {"DetailFirst", 0x3E, "/home/op/Image/a.tif", true, false,
     "/home/op/Image/a.tif\nThe file already exists.\nOverwrite?", 0x31},
    {"DetailFirstAndCode", 0x30, "/mnt/ro/b.tif", true, true,
     "/mnt/ro/b.tif\nThe file is read only.\nDo you save another name?\n\n(Code:00000030)", 0x134},
    {"EmptyDetailFirst", 0x3E, "", true, false, "The file already exists.\nOverwrite?", 0x31},
    {"CodeInLowerCaseHex", 0x4D, "", false, true, "Failed to allocate memory.\n\n(Code:0000004d)", 0x30},
    {"CategorySixOwnRow", 0x6000000A, "", false, false, "Failed to allocate memory.", 0x30},
    {"CategorySixDefault", 0x60000011, "", false, false, "System Error!\n(Unknown error)", 0x30},
    {"CategorySixDefaultShowsAskedCode", 0x6000FFFF, "", false, true,
     "System Error!\n(Unknown error)\n\n(Code:6000ffff)", 0x30},
    {"CategoryOne", 0x10001032, "", false, false, "Failed to write file.", 0x30},
    {"CategoryFour", 0x4000001F, "", false, false, "System Error!\n(Tiff tag error)", 0x30},
    {"CategoryFourLast", 0x40000101, "", false, false, "System Error!\n(Unknown error)", 0x30},
    {"RetryCancel", 0x47, "", false, false, "Error occurred on accessing image file.", 0x35},
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class MessageTextTest : public PresenterTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(MessageTextTest, ShowsTheComposedTextWithTheEntryStyle) {
  const TextCase& c = GetParam();
  sink.answer = 6;
  const int result = c.detailFirst ? presenter.ShowMessageDetailFirst(c.code, c.detail, c.addCode)
                                   : presenter.ShowMessage(c.code, c.detail, c.addCode);
  EXPECT_EQ(result, 6);
  const auto& box = OnlyBox();
  EXPECT_EQ(box.text, c.text);
  EXPECT_EQ(box.style, c.style);
  EXPECT_EQ(box.helpContext, -1);
  EXPECT_EQ(box.caption, res::StringText(res::kIdsAppTitle));
  EXPECT_FALSE(box.caption.empty());
  EXPECT_EQ(hookCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, MessageTextTest, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresenterTest, ReturnsTheButtonPressed) {
  for (int answer : {kResultOk, kResultCancel}) {
    sink.answer = answer;
    EXPECT_EQ(presenter.ShowMessageDetailFirst(0x3E, "/tmp/a.tif", false), answer);
  }
  sink.answer = kResultOk;
  EXPECT_EQ(presenter.ShowMessage(0x41, false), kResultOk);
  EXPECT_EQ(sink.boxes.back().text, "Cannot execute, please install the application to local hard drive.");
}

TEST_F(PresenterTest, UnknownCodeShowsTheTableErrorWithBothCodes) {
  const uint32_t kUnknown[] = {0x20000001, 0x30000000, 0x50000005, 0x70000000, 0x80000001,
                               0xF0000000, 0x0000002A, 0x00000086, 0x00000000, 0x40000021};
  for (uint32_t code : kUnknown) {
    sink.boxes.clear();
    hookCalls = 0;
    sink.answer = kResultOk;
    EXPECT_EQ(presenter.ShowMessage(code, "ignored detail", true), kResultUnknownCode) << std::hex << code;
    const auto& box = OnlyBox();
    EXPECT_EQ(box.text, "System Error!(Message Table)\n(Code:0000001c)\n" + CodeText(code));
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(hookCalls, 1);
  }
  EXPECT_EQ(presenter.ShowMessageDetailFirst(0x70000000, "", false), kResultUnknownCode);
  EXPECT_EQ(sink.boxes.back().text, "System Error!(Message Table)\n(Code:0000001c)\n(Code:70000000)");
}

TEST_F(PresenterTest, UnknownCodeWithoutHookStillAnswersMinusOne) {
  presenter.SetUnknownCodeHook({});
  EXPECT_EQ(presenter.ShowMessage(0x80000000, false), kResultUnknownCode);
  presenter.SetUnknownCodeHook([] { throw 1; });
  EXPECT_EQ(presenter.ShowMessage(0x80000000, false), kResultUnknownCode);
  EXPECT_EQ(sink.boxes.size(), 2u);
}

TEST_F(PresenterTest, ShowSystemErrorGivesTheSystemTextAsDetailOfCodeThree) {
  sink.answer = kResultOk;
  EXPECT_EQ(presenter.ShowSystemError(ENOENT), kResultOk);
  const std::string systemText = platform::SystemErrorText(ENOENT);
  ASSERT_FALSE(systemText.empty());
  const auto& box = OnlyBox();
  EXPECT_EQ(box.text, "System Error!\n(Unknown error)\n\n" + systemText + "\n\n(Code:00000003)");
  EXPECT_EQ(box.style, 0x30u);
}

TEST_F(PresenterTest, SystemErrorBoxIsPlainWarningWithTitleOrDefault) {
  const struct {
    const char* title;
    const char* caption;
  } kCases[] = {{"Vistel", "Vistel"}, {"", "Windows Sytem Error"}};
  for (const auto& c : kCases) {
    sink.boxes.clear();
    sink.answer = kResultOk;
    EXPECT_EQ(presenter.SystemErrorBox(EACCES, c.title), kResultOk);
    const auto& box = OnlyBox();
    EXPECT_EQ(box.text, platform::SystemErrorText(EACCES));
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.style, 0x30u);
  }
  EXPECT_EQ(presenter.SystemErrorBox(EACCES), kResultOk);
  EXPECT_EQ(sink.boxes.back().caption, "Windows Sytem Error");
}

TEST_F(PresenterTest, SinkThatThrowsCountsAsDeclined) {
  class ThrowingSink : public MessageBoxSink {
    int Show(const std::string&, const std::string&, uint32_t, int32_t) override { throw 1; }
  } throwing;
  TableMessagePresenter p(throwing);
  EXPECT_EQ(p.ShowMessage(0x41, false), kResultOk);
  EXPECT_EQ(p.ShowMessage(0x3E, false), kResultCancel);
  EXPECT_EQ(p.ShowMessage(0x24, false), kResultNo);
}

TEST(CurrentPresenter, InstalledPresenterReceivesMessagesAndScopeRestores) {
  RecordingSink outer, inner;
  TableMessagePresenter outerPresenter(outer), innerPresenter(inner);
  SetMessagePresenter(&outerPresenter);
  {
    ScopedMessagePresenter scope(innerPresenter);
    Messages().ShowMessage(0x41, false);
  }
  Messages().ShowMessage(0x4D, false);
  SetMessagePresenter(nullptr);
  ASSERT_EQ(inner.boxes.size(), 1u);
  EXPECT_EQ(inner.boxes[0].text, "Cannot execute, please install the application to local hard drive.");
  ASSERT_EQ(outer.boxes.size(), 1u);
  EXPECT_EQ(outer.boxes[0].text, "Failed to allocate memory.");
}

TEST(CurrentPresenter, FallbackWritesToStandardErrorAndDeclines) {
  SetMessagePresenter(nullptr);
  const struct {
    uint32_t code;
    int result;
  } kCases[] = {{0x41, kResultOk}, {0x3E, kResultCancel}, {0x29, kResultCancel}, {0x24, kResultNo},
                {0x30, kResultNo}, {0x47, kResultCancel}, {0x90000000, kResultUnknownCode}};
  for (const auto& c : kCases) {
    testing::internal::CaptureStderr();
    const int result = Messages().ShowMessage(c.code, false);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, c.result) << std::hex << c.code;
    EXPECT_NE(written.find(ComposeMessage(c.code, "", DetailPlacement::kAfterMessage, false).text), std::string::npos)
        << written;
  }
}

// A language module with only a few strings: the message strings it lacks
// are not borrowed from English.
constexpr VistelResString kPartialStrings[] = {
    {res::kIdsAppTitle, "Vexo Betrachter"},
    {*res::MessageStringId(0x57), "Die Datei kann nicht ge\xC3\xB6" "ffnet werden."},
};
constexpr VistelResString kWithTableError[] = {
    {*res::MessageStringId(kMsgTableError), "Systemfehler (Meldungstabelle)"},
};
constexpr VistelResTable Table(const VistelResString* strings, uint32_t count) {
  return {VISTEL_RES_MAGIC, VISTEL_RES_ABI_VERSION, 0x0407, "Test", strings, count, nullptr, 0, nullptr, 0};
}
constexpr VistelResTable kPartialTable = Table(kPartialStrings, std::size(kPartialStrings));
constexpr VistelResTable kTableErrorTable = Table(kWithTableError, std::size(kWithTableError));

class LanguageModuleTest : public PresenterTest {
 protected:
  void Use(const VistelResTable& table) { res::SetCurrentResources(res::MakeTableModule(table)); }
  void TearDown() override { res::SetCurrentResources(nullptr); }
};

TEST_F(LanguageModuleTest, UsesTheModulesStringsAndCaption) {
  Use(kPartialTable);
  presenter.ShowMessage(0x57, "/opt/a.pdf", true);
  const auto& box = OnlyBox();
  EXPECT_EQ(box.text, "Die Datei kann nicht ge\xC3\xB6" "ffnet werden.\n\n/opt/a.pdf\n\n(Code:00000057)");
  EXPECT_EQ(box.caption, "Vexo Betrachter");
}

TEST_F(LanguageModuleTest, MissingStringGivesTheReadErrorWithTheCode) {
  Use(kPartialTable);
  sink.answer = kResultCancel;
  EXPECT_EQ(presenter.ShowMessageDetailFirst(0x3E, "/tmp/a.tif", true), kResultCancel);
  const auto& box = OnlyBox();
  EXPECT_EQ(box.text, "Message File Read Error\n(Code:ffffffff)\n\n(Code:0000003e)");
  EXPECT_EQ(box.style, 0x31u);  // still the entry's buttons
  EXPECT_EQ(hookCalls, 0);
}

TEST_F(LanguageModuleTest, UnknownCodeUsesTheModulesTableErrorOrTheBuiltInText) {
  const struct {
    const VistelResTable* table;
    const char* first;
  } kCases[] = {{&kPartialTable, "System Error (Message TBL)"}, {&kTableErrorTable, "Systemfehler (Meldungstabelle)"}};
  for (const auto& c : kCases) {
    Use(*c.table);
    sink.boxes.clear();
    EXPECT_EQ(presenter.ShowMessage(0x50000001, false), kResultUnknownCode);
    EXPECT_EQ(OnlyBox().text, std::string(c.first) + "\n(Code:0000001c)\n(Code:50000001)");
  }
}

}  // namespace
}  // namespace shell
