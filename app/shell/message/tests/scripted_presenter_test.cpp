// The recording presenter that tests of other modules install.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/syserror.h"
#include "shell/scripted_presenter.h"

namespace shell {
namespace {

using Kind = ScriptedPresenter::Kind;

TEST(ScriptedPresenter, RecordsEachCallWithItsTextAndAnswersFromTheQueue) {
  ScriptedPresenter p;
  ScopedMessagePresenter installed(p);
  p.QueueResults({kResultCancel, kResultYes});

  EXPECT_EQ(Messages().ShowMessageDetailFirst(0x3E, "/tmp/a.tif", false), kResultCancel);
  EXPECT_EQ(Messages().ShowMessage(0x80000001, "x", true), kResultUnknownCode);  // takes no answer
  EXPECT_EQ(Messages().ShowMessage(0x24, false), kResultYes);
  EXPECT_EQ(Messages().ShowSystemError(ENOENT), kResultOk);  // queue empty
  EXPECT_EQ(Messages().SystemErrorBox(EACCES), kResultOk);
  p.QueueResult(kResultOk);
  EXPECT_EQ(Messages().SystemErrorBox(EACCES, "Vistel"), kResultOk);

  const auto& calls = p.Calls();
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls[0].kind, Kind::kMessageDetailFirst);
  EXPECT_EQ(calls[0].code, 0x3Eu);
  EXPECT_EQ(calls[0].detail, "/tmp/a.tif");
  EXPECT_EQ(calls[0].text, "/tmp/a.tif\nThe file already exists.\nOverwrite?");
  EXPECT_EQ(calls[0].style, 0x31u);
  EXPECT_EQ(calls[0].result, kResultCancel);

  EXPECT_FALSE(calls[1].known);
  EXPECT_EQ(calls[1].text, "System Error!(Message Table)\n(Code:0000001c)\n(Code:80000001)");
  EXPECT_EQ(calls[1].style, 0u);
  EXPECT_TRUE(calls[1].addCode);

  EXPECT_EQ(calls[2].kind, Kind::kMessage);
  EXPECT_EQ(calls[2].detail, "");
  EXPECT_EQ(calls[2].text, "Save another name?");
  EXPECT_EQ(calls[2].style, 0x34u);

  EXPECT_EQ(calls[3].kind, Kind::kSystemError);
  EXPECT_EQ(calls[3].error, ENOENT);
  EXPECT_EQ(calls[3].code, 0x03u);
  EXPECT_TRUE(calls[3].addCode);
  EXPECT_EQ(calls[3].text,
            "System Error!\n(Unknown error)\n\n" + platform::SystemErrorText(ENOENT) + "\n\n(Code:00000003)");

  EXPECT_EQ(calls[4].kind, Kind::kSystemErrorBox);
  EXPECT_EQ(calls[4].title, "Windows Sytem Error");
  EXPECT_EQ(calls[4].text, platform::SystemErrorText(EACCES));
  EXPECT_EQ(calls[4].style, 0x30u);
  EXPECT_EQ(calls[5].title, "Vistel");

  EXPECT_EQ(p.Codes(), (std::vector<uint32_t>{0x3E, 0x80000001, 0x24, 0x03}));
  p.Clear();
  EXPECT_TRUE(p.Calls().empty());
}

TEST(ScriptedPresenter, ClearDropsQueuedAnswers) {
  ScriptedPresenter p;
  p.QueueResults({kResultNo, kResultNo});
  p.Clear();
  EXPECT_EQ(p.ShowMessage(0x24, false), kResultOk);
}

}  // namespace
}  // namespace shell
