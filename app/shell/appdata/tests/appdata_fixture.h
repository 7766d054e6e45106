// Test fixture shared by the start-up tests: a program folder of its own
// (VISTEL_PROGRAM_DIR), a scripted message presenter, and a mount table in
// which "/" is a fixed disk and sub-folders of the test are mounts of other
// kinds (VISTEL_MOUNTINFO). Device numbers are ones no machine has, so sysfs
// calls the ext4 ones fixed.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "shell/scripted_presenter.h"
#include "testsupport/temp_env.h"

namespace appdata_test {

class StartupFixture : public testing::Test {
 protected:
  StartupFixture()
      : base_(std::filesystem::canonical(dir_.Path()).string() + "/"),
        program_(base_ + "program/"),
        programEnv_("VISTEL_PROGRAM_DIR", (std::filesystem::create_directories(program_), program_)),
        mountTable_(base_ + "mountinfo"),
        mountEnv_("VISTEL_MOUNTINFO", mountTable_),
        messages_(presenter_) {
    for (const char* d : {"fixed", "ram", "share", "cd"}) std::filesystem::create_directories(base_ + d);
    testsupport::WriteFile(mountTable_,
                           "1 0 4000:1 / / rw - ext4 /dev/x1 rw\n"
                           "2 1 0:42 / " + base_ + "ram rw - tmpfs tmpfs rw\n"
                           "3 1 0:43 / " + base_ + "share rw - nfs4 server:/export rw\n"
                           "4 1 4000:4 / " + base_ + "cd ro - iso9660 /dev/sr0 ro\n");
  }

  // An absolute folder of the test (ends in '/').
  std::string Folder(const std::string& name) const { return base_ + name + "/"; }

  testsupport::TempDir dir_;
  std::string base_;
  std::string program_;
  testsupport::ScopedEnv programEnv_;
  std::string mountTable_;
  testsupport::ScopedEnv mountEnv_;
  shell::ScriptedPresenter presenter_;
  shell::ScopedMessagePresenter messages_;
};

}  // namespace appdata_test
