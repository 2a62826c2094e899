#include "window_fixture.h"

#include <sys/stat.h>

#include <QAction>
#include <QTest>

#include "support/session_fixture.h"

namespace quavert::testing {

WindowFixture::WindowFixture() {
  ::mkdir(app.Join("logs").c_str(), 0755);
  InstallGenmidi(app.Path());
}

WindowFixture::~WindowFixture() {
  if (window) window->close();
  window.reset();
}

frmmain& WindowFixture::Start() {
  window = std::make_unique<frmmain>(app.Path(), media);
  window->show();
  window->FormLoad();
  return *window;
}

std::string WindowFixture::UserFile(std::string_view name, std::string_view bytes) {
  const std::string path = user.Join(name);
  WriteFileBytes(path, bytes);
  return path;
}

void WindowFixture::OpenThroughDialog(const std::string& path) {
  answerer.Paths.push_back(QString::fromStdString(path));
  window->mnuOpen->trigger();
}

}  // namespace quavert::testing
