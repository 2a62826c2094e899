#pragma once

// Each test class of the window's test program, run in turn by its main.
namespace quavert::testing {

int RunEventListModelTest(int argc, char** argv);
int RunQtTextTest(int argc, char** argv);
int RunQtToolkitTest(int argc, char** argv);
int RunMainWindowTest(int argc, char** argv);
int RunEventListWindowTest(int argc, char** argv);
int RunAboutBoxTest(int argc, char** argv);

}  // namespace quavert::testing
