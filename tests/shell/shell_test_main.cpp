#include <QApplication>

#include "window_fixture.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quavert"));
  using namespace quavert::testing;
  int failed = 0;
  for (auto run : {RunToolkitTest, RunWindowTest, RunEventListTest, RunPianoRollTest, RunByteViewsTest,
                   RunEditingWindowTest})
    failed += run(argc, argv);
  return failed == 0 ? 0 : 1;
}
