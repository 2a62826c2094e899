#include "commands/event_list.h"
#include "commands/lifecycle.h"
#include "common/file_system.h"
#include "shell/bytes_pane.h"
#include "shell/problems_pane.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

// SongOfTwoTracks' second track begins at offset 41; its rows' events, as an independent count of
// its bytes places them.
struct PlacedRow {
  int offset;
  const char* hex;
  const char* time;
};
constexpr int kSecondTrack = 41;
constexpr PlacedRow kSongRows[] = {{50, "C0 00", "0 1:1:0"},
                                   {53, "90 3C 64", "0 1:1:0"},
                                   {57, "80 3C 00", "96 1:2:0"},
                                   {61, "90 3E 64", "96 1:2:0"},
                                   {65, "80 3E 00", "192 1:3:0"}};

class ByteViewsTest : public WindowTestCase {
  Q_OBJECT

  QString Cell(int row, int column) { return w().listModel().data(w().listModel().index(row, column)).toString(); }
  QString Header(int column) { return w().listModel().headerData(column, Qt::Horizontal).toString(); }

  void ClickByte(std::int64_t index) {
    QTest::mouseClick(w().BytesView->viewport(), Qt::LeftButton, Qt::NoModifier, w().BytesView->HexRect(index).center());
  }

  void DoubleClickProblem(int index) {
    ProblemsPane* pane = w().ProblemsView;
    const QRect rect = pane->visualItemRect(pane->topLevelItem(index));
    // The view takes a double click only on the item its press landed on.
    QTest::mousePress(pane->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  }

 private slots:
  void ColumnsAreOffUntilChosenShowEachEventsPlaceAndAreRemembered() {
    f->Start();
    for (QAction* toggle : {w().mnuOffsetColumn, w().mnuBytesColumn, w().mnuTimeColumn, w().mnuBytes, w().mnuProblems})
      QVERIFY(!toggle->isChecked());
    const std::string song = f->ListTrack(2);
    QCOMPARE(w().listModel().columnCount(), 5);
    QVERIFY(!w().BytesView->isVisible() && !w().ProblemsView->isVisible());

    for (QAction* toggle : {w().mnuOffsetColumn, w().mnuBytesColumn, w().mnuTimeColumn}) toggle->trigger();
    QCOMPARE(w().listModel().columnCount(), 8);
    QCOMPARE((QStringList{Header(5), Header(6), Header(7)}), (QStringList{"Offset", "Bytes", "Time"}));
    const std::string bytes = SongOfTwoTracks();
    for (int row = 0; row < 5; ++row) {
      const PlacedRow& placed = kSongRows[row];
      QCOMPARE(Cell(row, 5), QString::number(placed.offset));
      QCOMPARE(Cell(row, 6), QString::fromLatin1(placed.hex));
      QCOMPARE(Cell(row, 7), QString::fromLatin1(placed.time));
      const std::size_t count = (std::strlen(placed.hex) + 1) / 3;
      QCOMPARE(QString::fromStdString(ToHex(bytes.substr(static_cast<std::size_t>(placed.offset), count))), Cell(row, 6));
    }
    // A click on a column of the window's own opens no editor and runs no command.
    f->ClickCell(2, 5);
    QVERIFY(w().cellEditor().OpenEditor() == nullptr);

    w().mnuOffsetColumn->trigger();
    QCOMPARE((QStringList{Header(5), Header(6)}), (QStringList{"Bytes", "Time"}));
    QCOMPARE(w().listModel().columnCount(), 7);
    w().close();
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), song + "\nBytesColumn=1\nTimeColumn=1\n");
    f->Start();
    QVERIFY(!w().mnuOffsetColumn->isChecked() && w().mnuBytesColumn->isChecked() && w().mnuTimeColumn->isChecked());
    f->ChooseTrack(2);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(Cell(4, 5), QStringLiteral("80 3E 00"));
    QCOMPARE(Cell(4, 6), QStringLiteral("192 1:3:0"));
  }

  // The pane shows the chosen track's chunk; the selected row's bytes are highlighted, and a click
  // on a byte selects the row whose event (or whose delta) it is.
  void TheBytesPaneFollowsTheSelectedRowAndSelectsTheRowOfAByte() {
    f->Start();
    w().mnuBytes->trigger();
    f->ListTrack(2);
    BytesPane* pane = w().BytesView;
    QVERIFY(pane->isVisible());
    const std::string song = SongOfTwoTracks();
    QCOMPARE(pane->Bytes(), song.substr(kSecondTrack));
    QCOMPARE(pane->FirstOffset(), std::int64_t{kSecondTrack});
    w().ListView1->selectRow(2);
    QCOMPARE((std::pair{pane->HighlightFrom(), pane->HighlightTo()}), (std::pair<std::int64_t, std::int64_t>{57 - kSecondTrack, 59 - kSecondTrack}));

    const struct {
      int offset;
      int row;  // selected after the click
    } clicks[] = {{62, 3}, {65, 4}, {64, 4}, {51, 0}, {41, 0}, {70, 0}};  // a delta selects its event's row;
    for (const auto& click : clicks) {                                     // the header and the end, none
      ClickByte(click.offset - kSecondTrack);
      QCOMPARE(pane->MarkedByte(), std::int64_t{click.offset - kSecondTrack});
      QCOMPARE(w().ListView1->currentIndex().row(), click.row);
      const PlacedRow& placed = kSongRows[click.row];
      QCOMPARE(pane->HighlightFrom(), std::int64_t{placed.offset - kSecondTrack});
    }
    f->ChooseTrack(1);  // another track: its bytes, nothing highlighted
    QCOMPARE(pane->Bytes(), song.substr(14, kSecondTrack - 14));
    QCOMPARE(pane->HighlightFrom(), std::int64_t{-1});

    // An RMID file: the same bytes, at offsets in the .rmi file.
    w().mnuOffsetColumn->trigger();
    f->Open(f->UserFile("song.rmi", Rmid(song)));
    f->ChooseTrack(2);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    QCOMPARE(pane->Bytes(), song.substr(kSecondTrack));
    QCOMPARE(pane->FirstOffset(), std::int64_t{kSecondTrack + 20});
    QCOMPARE(Cell(4, 5), QString::number(kSongRows[4].offset + 20));
  }

  void AProblemsDoubleClickSelectsItsTrackAndRowOrItsByte() {
    f->Start();
    w().mnuProblems->trigger();
    // Track 2 leaves its second note on; track 3 has a meta event of no known type among its notes.
    const std::string path = f->UserFile("faults.mid", Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00 FF 2F 00"),
                                                                  Hex("00 90 3C 64 60 80 3C 00 00 90 3E 64 00 FF 2F 00"),
                                                                  Hex("00 90 3C 64 00 FF 60 01 00 60 80 3C 00 00 FF 2F 00")}));
    f->Open(path);
    ProblemsPane* pane = w().ProblemsView;
    QCOMPARE(pane->topLevelItemCount(), 2);
    QCOMPARE(pane->topLevelItem(0)->text(0), QStringLiteral("50"));
    QCOMPARE(pane->topLevelItem(0)->text(3), QStringLiteral("hanging-note"));
    QCOMPARE(pane->topLevelItem(1)->text(1), QStringLiteral("3"));
    QCOMPARE(pane->topLevelItem(1)->text(3), QStringLiteral("unknown-meta"));

    DoubleClickProblem(0);
    QCOMPARE(w().session().file.CurrentTrack, 2);
    QCOMPARE(w().Combo1->currentText(), QStringLiteral("2"));
    QCOMPARE(w().listModel().Count(), std::int64_t{3});
    QCOMPARE(w().ListView1->currentIndex().row(), 2);  // the On whose note hangs
    QVERIFY(!w().mnuBytes->isChecked());
    QVERIFY(!w().IsModified());  // the rows listed are the track's: nothing to save

    DoubleClickProblem(1);  // no row holds an unknown meta event: its byte is shown
    QCOMPARE(w().session().file.CurrentTrack, 3);
    QVERIFY(w().mnuBytes->isChecked() && w().BytesView->isVisible());
    const TrackBytes& bytes = w().trackBytes();
    QCOMPARE(w().BytesView->MarkedByte(), 71 - (bytes.ChunkPos - 1));
    QCOMPARE(static_cast<unsigned char>(w().BytesView->Bytes()[static_cast<std::size_t>(w().BytesView->MarkedByte())]), 0x60);  // its type, where lint places it
    // Choosing the track decodes it, which says what it says when the track chooser chooses it.
    QCOMPARE(f->answerer.Texts(), QStringList{QStringLiteral("Invalid byte: 96")});

    f->Open(f->UserFile("clean.mid", SongOfTwoTracks()));
    QCOMPARE(pane->topLevelItemCount(), 1);
    QCOMPARE(pane->topLevelItem(0)->text(4), QStringLiteral("No problems found."));
    DoubleClickProblem(0);  // a note, not a problem: nothing happens
    QCOMPARE(w().session().file.CurrentTrack, 1);
  }

  // Text2 and the list read the file's texts through the encoding chosen; the program still
  // gets their bytes, and the choice is remembered.
  void TheTextEncodingShowsTextsAndKeepsTheirBytes() {
    f->Start();
    QCOMPARE(w().TextEncodingGroup->checkedAction()->text(), QStringLiteral("Automatic"));
    const std::string path = f->UserFile("lyric.mid", Smf(0, 96, {Hex("00 90 3C 64 60 80 3C 00 00 FF 05 02 82 A2 00 FF 2F 00")}));
    f->Open(path);
    QTest::mouseClick(w().Command1, Qt::LeftButton);
    const std::string text2 = w().toolkit().GetText(Control::Text2);
    QVERIFY(text2.find("\x82\xA2") != std::string::npos);
    QVERIFY(w().Text2->toPlainText().contains(QString::fromLatin1("\x82\xA2")));  // Latin-1: not UTF-8
    const struct {
      TextEncoding encoding;
      QString lyric;
    } cases[] = {{TextEncoding::kShiftJis, QStringLiteral("\u3044")},
                 {TextEncoding::kUtf8, QStringLiteral("\uFFFD\uFFFD")},
                 {TextEncoding::kWindows1252, QStringLiteral("\u201A\u00A2")}};
    for (const auto& c : cases) {
      for (QAction* action : w().TextEncodingGroup->actions())
        if (action->data().toInt() == static_cast<int>(c.encoding)) action->trigger();
      QVERIFY2(w().Text2->toPlainText().contains(c.lyric), qPrintable(w().Text2->toPlainText()));
      QCOMPARE(w().toolkit().GetText(Control::Text2), text2);
    }
    // A cell of the list reads through it too.
    WriteListCell(w().session(), 1, 4, "\x82\xA0");  // as an edit writes it
    QCOMPARE(Cell(0, 4), QString(QChar(0x201A)) + QChar(0xA0));
    w().SetTextEncoding(TextEncoding::kShiftJis);
    QCOMPARE(Cell(0, 4), QStringLiteral("\u3042"));
    QCOMPARE(w().listModel().Text(0, 4), std::string("\x82\xA0"));
    w().close();
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), path + "\nTextEncoding=Shift-JIS\n");
    f->Start();
    QCOMPARE(w().TextEncodingGroup->checkedAction()->text(), QStringLiteral("Shift-JIS"));
    QVERIFY(w().Text2->toPlainText().contains(QStringLiteral("\u3044")));
  }
};

}  // namespace

int RunByteViewsTest(int argc, char** argv) {
  ByteViewsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "byte_views_window_test.moc"
