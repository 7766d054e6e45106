// Test main for GUI tests: an offscreen QApplication around the tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "testsupport/temp_env.h"

int main(int argc, char** argv) {
  testsupport::PrepareProcess();
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
