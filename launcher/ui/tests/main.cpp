#include <QApplication>
#include <gtest/gtest.h>

#include "testing/tempdir.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Deleted maps and models go to a trash of the test run's own, never the user's.
  fdk::TempDir home;
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.folder() + "share"));
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
