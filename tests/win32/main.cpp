// The Windows test programs start like the converter: no system error dialogs.
#include <gtest/gtest.h>

#include "platform/win32/win32_system.h"

int main(int argc, char** argv) {
  pel::win32::UseQuietErrorModeAndSafeDllSearch();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
