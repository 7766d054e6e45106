#include <gtest/gtest.h>

#include "testsupport/temp_env.h"

int main(int argc, char** argv) {
  testsupport::PrepareProcess();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
