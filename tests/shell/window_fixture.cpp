#include "window_fixture.h"

#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "shell/event_list_model.h"
#include "support/midi_bytes.h"
#include "support/session_fixture.h"

namespace quavert::testing {

std::string SongOfTwoTracks() {
  return Smf(1, 96, {Hex("00 FF 03 04") + "Demo" + Hex("00 FF 51 03 07 A1 20 00 FF 2F 00"),
                     Hex("00 C0 00 00 90 3C 64 60 80 3C 00 00 90 3E 64 60 80 3E 00 00 FF 2F 00")});
}

void CheckEnabled(frmmain& w, const EnabledState& e) {
  QCOMPARE(w.mnuSave->isEnabled(), e.mnuSave);
  QCOMPARE(w.Toolbar2Buttons[2]->isEnabled(), e.Button2);
  QCOMPARE(w.Command1->isEnabled(), e.Notes);
  QCOMPARE(w.Text5->isEnabled(), e.Text5);
  QCOMPARE(w.Text6->isEnabled(), e.Text6);
  QCOMPARE(w.Command2->isEnabled(), e.EditSave);
  QCOMPARE(w.Command5->isEnabled(), e.SaveTrack);
  QCOMPARE(w.mnuPlay->isEnabled(), e.mnuPlay);
  QCOMPARE(w.Toolbar2Buttons[4]->isEnabled(), e.Button4);
  QCOMPARE(w.mnuPause->isEnabled(), e.mnuPause);
  QCOMPARE(w.Toolbar2Buttons[5]->isEnabled(), e.Button5);
  QCOMPARE(w.mnuStop->isEnabled(), e.mnuStop);
  QCOMPARE(w.Toolbar2Buttons[6]->isEnabled(), e.Button6);
}

WindowFixture::WindowFixture() {
  ::mkdir(app.Join("logs").c_str(), 0755);
  // Run by hand, without ctest's environment, the copy next to the program serves.
  if (!InstallGenmidi(app.Path()))
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/genmidi.ini"),
                QString::fromStdString(app.Join("genmidi.ini")));
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

namespace quavert::testing {

void WindowFixture::ChooseTrack(int track) {
  QComboBox* combo = window->Combo1;
  combo->setFocus();
  while (combo->currentIndex() < track - 1) QTest::keyClick(combo, Qt::Key_Down);
  while (combo->currentIndex() > track - 1) QTest::keyClick(combo, Qt::Key_Up);
}

void WindowFixture::ClickCell(std::int64_t item, int column, Qt::MouseButton button) {
  QTableView* view = window->ListView1;
  const QModelIndex cell = window->listModel().index(static_cast<int>(item - 1), column);
  view->scrollTo(cell);
  QTest::mouseClick(view->viewport(), button, Qt::NoModifier, view->visualRect(cell).center());
}

}  // namespace quavert::testing
