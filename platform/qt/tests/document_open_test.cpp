// Opening a document through the desktop's association, with stand-in
// xdg-mime / xdg-open programs on PATH that record what they were asked.
#include "platform/document_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QThread>
#include <filesystem>

#include "testsupport/temp_env.h"

namespace {

void Script(const std::string& path, const std::string& body) {
  testsupport::WriteFile(path, "#!/bin/sh\n" + body + "\n");
  ASSERT_EQ(chmod(path.c_str(), 0755), 0);
}

TEST(OpenDocument, ResultsByAssociation) {
  testsupport::TempDir dir;
  const std::string bin = dir.File("bin/");
  std::filesystem::create_directories(bin);
  const std::string manual = dir.File("VEXO_ENG.pdf");
  testsupport::WriteFile(manual, "%PDF-1.4\n");
  testsupport::ScopedEnv path("PATH", bin);

  // No application for the type.
  Script(bin + "xdg-mime", "exit 0");
  EXPECT_EQ(platform::OpenDocument(manual), platform::kOpenNoAssociation);
  Script(bin + "xdg-mime", "exit 4");
  EXPECT_EQ(platform::OpenDocument(manual), platform::kOpenNoAssociation);

  // An application: the file is handed to the opener.
  Script(bin + "xdg-mime", "echo reader.desktop");
  Script(bin + "xdg-open", "echo \"$1\" > " + dir.File("opened"));
  EXPECT_GT(platform::OpenDocument(manual), 32);
  QElapsedTimer t;
  t.start();
  while (!std::filesystem::exists(dir.File("opened")) && t.elapsed() < 5000) QThread::msleep(10);
  EXPECT_EQ(testsupport::ReadFile(dir.File("opened")), manual + "\n");

  EXPECT_EQ(platform::OpenDocument(dir.File("missing.pdf")), platform::kOpenFileNotFound);
  // Nothing to run the opener with.
  std::filesystem::remove(bin + "xdg-open");
  EXPECT_EQ(platform::OpenDocument(manual), 0);
}

}  // namespace
