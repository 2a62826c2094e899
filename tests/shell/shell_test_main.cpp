#include <QApplication>

#include "shell_tests.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quavert"));
  using namespace quavert::testing;
  int failed = 0;
  for (auto run : {RunEventListModelTest, RunQtTextTest, RunQtToolkitTest, RunMainWindowTest, RunEventListWindowTest, RunAboutBoxTest})
    failed += run(argc, argv);
  return failed == 0 ? 0 : 1;
}
