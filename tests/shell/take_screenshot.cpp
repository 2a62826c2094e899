// Draws the window with a file loaded, a track chosen and its event list shown, into a PNG:
//   shell_screenshot FILE.mid TRACK OUT.png [PLAYHEAD_TICK | --edit-menu | --insert-dialog | --progress | --bytes ROW]
// With a tick, the piano roll is shown too, with the playhead and the played row at that tick.
// With --bytes, the Offset and Bytes columns, the bytes pane and the problems pane are shown,
// row ROW (from 1) selected; the messages a damaged file brings are answered OK (or No).
// With --edit-menu, the volume of the track's first note is changed to 90 and the Edit menu is
// drawn open over the window; with --insert-dialog, the Insert Event dialog is drawn alone; with
// --progress, the window is drawn while "Notes..." is part of the way (a long track wanted).
// Runs on the offscreen platform; the window works in a temporary application folder holding
// a copy of the genmidi.ini that sits next to this program.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTest>
#include <cstdio>

#include "app/recording_media_service.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/insert_event_dialog.h"
#include "support/temp_folder.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool bytes = argc == 6 && QByteArray(argv[4]) == "--bytes";
  if (argc != 4 && argc != 5 && !bytes) {
    std::fprintf(stderr, "usage: %s FILE.mid TRACK OUT.png [PLAYHEAD_TICK | --edit-menu | --insert-dialog | --progress | --bytes ROW]\n",
                 argv[0]);
    return 2;
  }
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
      box->button(box->standardButtons() & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok)->click();
  });
  answerer.start(10);
  quavert::testing::TempFolder folder;
  QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/genmidi.ini"),
              QString::fromStdString(folder.Join("genmidi.ini")));
  quavert::RecordingMediaService media;
  quavert::frmmain window(folder.Path(), media);
  const bool edit_menu = argc == 5 && QString::fromLocal8Bit(argv[4]) == QLatin1String("--edit-menu");
  const bool progress = argc == 5 && QString::fromLocal8Bit(argv[4]) == QLatin1String("--progress");
  window.resize(bytes ? 1600 : 1000, argc == 5 && !edit_menu && !progress ? 900 : bytes ? 820 : 720);
  window.show();
  window.FormLoad();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;

  window.OpenDropped(QFile::decodeName(argv[1]));
  const int track = QString::fromLocal8Bit(argv[2]).toInt();
  if (track > 1 && track <= window.Combo1->count()) {
    window.Combo1->setCurrentIndex(track - 1);
    emit window.Combo1->activated(track - 1);
  }
  if (bytes) {
    for (QAction* view : {window.mnuOffsetColumn, window.mnuBytesColumn, window.mnuBytes, window.mnuProblems})
      view->setChecked(true);
  }
  QPixmap shot;
  if (progress) {
    window.toolkit().SetProgressDelay(0);
    QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged, [&](int value) {
      if (shot.isNull() && value >= window.ProgressBar1->maximum() * 2 / 5) shot = window.grab();
    });
  }
  window.Command1->click();
  window.ListView1->selectRow(bytes ? QString::fromLocal8Bit(argv[5]).toInt() - 1 : 0);
  if (bytes) window.ListView1->scrollTo(window.ListView1->currentIndex(), QAbstractItemView::PositionAtCenter);
  if (argc == 5 && QString::fromLocal8Bit(argv[4]) == QLatin1String("--insert-dialog")) {
    quavert::InsertEventDialog dialog(&window);
    dialog.show();
    QTest::qWait(50);
    shot = dialog.grab();
  } else if (edit_menu) {
    // The first row with a volume, changed as the user would: click, type, Return.
    int row = 0;
    while (row < window.listModel().Count() && window.listModel().Text(row, 2).empty()) ++row;
    const QModelIndex cell = window.listModel().index(row, 2);
    QTest::mouseClick(window.ListView1->viewport(), Qt::LeftButton, Qt::NoModifier, window.ListView1->visualRect(cell).center());
    if (auto* editor = qobject_cast<QLineEdit*>(window.cellEditor().OpenEditor())) {
      editor->selectAll();
      QTest::keyClicks(editor, QStringLiteral("90"));
      QTest::keyClick(editor, Qt::Key_Return);
    }
    QTest::qWait(50);
    window.ListView1->selectRow(row);
    QMenu* menu = nullptr;
    QAction* title = nullptr;
    for (QAction* action : window.menuBar()->actions())
      if (action->text() == QLatin1String("Edit")) menu = (title = action)->menu();
    if (menu == nullptr) return 1;
    const QRect place = window.menuBar()->actionGeometry(title);
    menu->popup(window.menuBar()->mapToGlobal(place.bottomLeft()));
    QTest::qWait(100);
    shot = window.grab();
    QPainter painter(&shot);
    painter.drawPixmap(window.mapFromGlobal(menu->pos()), menu->grab());
    painter.end();
    menu->hide();
  }
  if (argc == 5 && shot.isNull()) {
    window.ShowPianoRoll(true);
    QTest::qWait(50);  // the list takes its new height before it is scrolled
    // The device answers as if it played at the tick asked for.
    media.Replies["Status REDevid1 position"] = argv[4];
    window.session().player.Playing = true;
    window.FollowPlayback();
    const int chosen = static_cast<int>(window.listModel().MarkedRow()) + 1;
    window.ListView1->selectRow(chosen);
    window.ListView1->scrollTo(window.listModel().index(chosen + 1, 0));
  }
  QTest::qWait(50);
  if (shot.isNull()) shot = window.grab();
  if (!shot.save(QFile::decodeName(argv[3]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  window.ShutDown();  // ends without asking about the changes made for the picture
  window.close();
  return 0;
}
