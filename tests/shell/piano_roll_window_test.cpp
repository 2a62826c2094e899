#include <chrono>
#include <cstdlib>

#include "commands/lifecycle.h"
#include "common/file_system.h"
#include "shell/piano_roll.h"
#include "support/sound_files.h"
#include "window_fixture.h"
#ifdef QUAVERT_TEST_FLUID
#include "playback/fluid_media_service.h"
#endif

namespace quavert::testing {
namespace {

// SongOfTwoTracks' second track: a program change, then C5 from tick 0 to 96 and D5 from 96 to 192.
const std::vector<NoteSpan> kSongNotes = {{1, 2, 0, 96, 60, 100, 0}, {3, 4, 96, 192, 62, 100, 0}};

class PianoRollTest : public WindowTestCase {
  Q_OBJECT

  QPoint CentreOf(const NoteSpan& span) {
    const RollRect rect = NoteRect(w().Roll->View(), span);
    return QPointF(rect.X + rect.Width / 2, rect.Y + rect.Height / 2).toPoint();
  }
  // Starts the window with the roll shown and lists track `track` of `bytes`.
  void ListWithRoll(int track = 2, const std::string& bytes = SongOfTwoTracks()) {
    f->Start();
    w().ShowPianoRoll(true);
    f->ListTrack(track, bytes);
  }

 private slots:
  void TheRollIsOffUntilChosenAndRemembered() {
    f->Start();
    QVERIFY(!w().mnuPianoRoll->isChecked() && !w().RollPane->isVisible() && w().mnuFollowPlayback->isChecked());
    f->ListTrack(2);
    w().mnuPianoRoll->trigger();
    QVERIFY(w().RollPane->isVisible());
    w().mnuFollowPlayback->trigger();
    w().close();
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), f->user.Join("song.mid") + "\nPianoRoll=1\nFollowPlayback=0\n");
    f->Start();
    QVERIFY(w().mnuPianoRoll->isChecked() && w().RollPane->isVisible() && !w().mnuFollowPlayback->isChecked());
    w().mnuPianoRoll->trigger();
    w().mnuFollowPlayback->trigger();
    w().close();
    QCOMPARE(ReadFileBytes(f->app.Join(kSettingsFileName)), f->user.Join("song.mid") + "\n");
  }

  void TheRollShowsTheListedTrackAndFollowsItsEdits() {
    ListWithRoll();
    QCOMPARE(w().Roll->Notes()->Spans, kSongNotes);
    f->Edit(2, 1, QStringLiteral("E5"));  // the key of the first On
    f->Edit(2, 2, QStringLiteral("30"));  // its velocity
    f->Edit(2, 3, QStringLiteral("48"));  // its delta: the Off comes sooner
    // Its Off took the new key with it: the E5 ends where the C5 ended, sooner now.
    QCOMPARE(w().Roll->Notes()->Spans, (std::vector<NoteSpan>{{1, 2, 0, 48, 64, 30, 0}, {3, 4, 48, 144, 62, 100, 0}}));
    f->Edit(3, 1, QStringLiteral("F5"));  // the Off alone: the E5 sounds to the track's end
    QCOMPARE(w().Roll->Notes()->Spans, (std::vector<NoteSpan>{{1, -1, 0, 144, 64, 30, 0}, {3, 4, 48, 144, 62, 100, 0}}));
    f->ChooseTrack(1);  // a track without notes: the list and the roll are empty
    QVERIFY(w().Roll->Notes()->Spans.empty());
  }

  void SelectingARowSelectsItsNoteAndClickingANoteItsOnRow() {
    ListWithRoll();
    const std::pair<int, std::int64_t> rows[] = {{3, 1}, {2, 0}, {0, -1}, {4, 1}, {1, 0}};
    for (const auto& [row, span] : rows) {
      w().ListView1->selectRow(row);
      QCOMPARE(w().Roll->SelectedSpan(), span);
    }
    for (const std::size_t span : {1u, 0u}) {
      QTest::mouseClick(w().Roll->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(kSongNotes[span]));
      QCOMPARE(w().ListView1->currentIndex().row(), static_cast<int>(kSongNotes[span].OnRow));
      QCOMPARE(w().Roll->SelectedSpan(), static_cast<std::int64_t>(span));
    }
    QVERIFY(f->answerer.Messages.empty());  // a click on a note opens no editor and runs no command
  }

  void DrumsAreShortMarksNamedInTheirTooltips() {
    ListWithRoll(1, Smf(0, 96, {Hex("00 99 26 64 60 89 26 00 00 90 26 64 60 80 26 00 00 FF 2F 00")}));
    const std::vector<NoteSpan>& notes = w().Roll->Notes()->Spans;
    QCOMPARE(notes.size(), std::size_t{2});
    const char* expected[] = {"Acoustic Snare  channel 10  velocity 100  ticks 0-96", "D3  channel 1  velocity 100  ticks 96-192"};
    for (std::size_t i = 0; i < notes.size(); ++i) {
      QCOMPARE(NoteRect(w().Roll->View(), notes[i]).Width, i == 0 ? 4.0 : 96 * w().Roll->View().PixelsPerTick);
      const QPoint at = CentreOf(notes[i]);
      QHelpEvent help(QEvent::ToolTip, at, w().Roll->viewport()->mapToGlobal(at));
      QCoreApplication::sendEvent(w().Roll->viewport(), &help);
      QTRY_COMPARE(QToolTip::text(), QString::fromLatin1(expected[i]));
    }
  }

  // The device says where it plays; the window marks that row, moves the playhead and the
  // slider, and shows the place. The slider seeks, Space pauses, Play from Here plays from the
  // selected row.
  void PlaybackIsFollowedAndCanBeMoved() {
    ListWithRoll();
    f->media.Replies["Status REDevid1 length"] = "192";
    QCOMPARE(w().PositionSlider->maximum(), 192);
    w().Toolbar2Buttons[4]->trigger();
    QVERIFY(w().PositionSlider->isEnabled());
    const struct {
      const char* position;
      std::int64_t row;
      const char* place;
    } places[] = {{"0", 1, "Bar 1 Beat 1 | 00:00.0 / 00:01.0"}, {"95", 1, "Bar 1 Beat 1 | 00:00.4 / 00:01.0"},
                  {"96", 3, "Bar 1 Beat 2 | 00:00.5 / 00:01.0"}, {"192", 4, "Bar 1 Beat 3 | 00:01.0 / 00:01.0"}};
    for (const auto& place : places) {
      f->media.Replies["Status REDevid1 position"] = place.position;
      w().FollowPlayback();
      QCOMPARE(w().listModel().MarkedRow(), place.row);
      QCOMPARE(w().PositionLabel->text(), QString::fromLatin1(place.place));
      QCOMPARE(w().Roll->Playhead(), std::optional<std::int64_t>(std::atoll(place.position)));
      QCOMPARE(w().PositionSlider->value(), std::atoi(place.position));
    }

    f->media.Commands.clear();
    w().PositionSlider->setValue(100);
    w().PositionSlider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f->media.Commands, std::vector<std::string>{"Seek REDevid1 to 101"});
    QCOMPARE(w().listModel().MarkedRow(), 3);
    w().activateWindow();
    w().ListView1->setFocus();
    QTRY_VERIFY(w().ListView1->hasFocus());
    QTest::keyClick(w().ListView1, Qt::Key_Space);
    QCOMPARE(f->media.Commands.back(), std::string("Pause REDevid1 notify"));
    QVERIFY(w().session().player.Paused);
    w().ListView1->selectRow(3);
    QTest::keyClick(w().ListView1, Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(f->media.Commands.back(), std::string("Play REDevid1 from 96 to 192 notify"));
    QVERIFY(!w().session().player.Paused && w().mnuPause->isEnabled());
    w().FollowPlayback();
    QCOMPARE(w().listModel().MarkedRow(), 3);  // the device says 101, where the seek left it
    w().Toolbar2Buttons[6]->trigger();  // stopped: the playhead and the mark go at once
    QCOMPARE(w().listModel().MarkedRow(), -1);
    QVERIFY(!w().Roll->Playhead() && w().PositionLabel->text().isEmpty());
  }

#ifdef QUAVERT_TEST_FLUID
  // With the real synthesizer writing to a file in real time: at every look, the marked row is
  // the row at the place the device reports, and that place keeps up with the clock.
  void TheRowPlayedIsMarkedWhileTheSynthesizerPlays() {
    FluidMediaService fluid({f->user.Write("sine.sf2", SineSoundFont()), f->user.Join("heard.wav")});
    // 480 ticks a quarter at 120 beats a minute: 960 ticks a second; eight notes of 240 ticks.
    Bytes track;
    for (int i = 0; i < 8; ++i) track += Hex("00 90") + static_cast<char>(60 + i) + Hex("64 81 70 80") + static_cast<char>(60 + i) + Hex("00");
    const std::string song = f->UserFile("eight.mid", Smf(0, 480, {track + Hex("00 FF 2F 00")}));
    frmmain window(f->app.Path(), fluid);
    window.show();
    window.FormLoad();
    window.OpenDropped(QString::fromStdString(song));
    window.Command1->click();
    QCOMPARE(window.noteSpans().Spans.size(), std::size_t{8});
    window.FollowTimer->stop();  // the test looks itself
    const auto started = std::chrono::steady_clock::now();
    window.mnuPlay->trigger();
    std::vector<std::int64_t> rows_seen;
    for (int look = 0; look < 12; ++look) {
      QTest::qWait(120);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      window.FollowPlayback();
      if (!window.Roll->Playhead()) break;  // the song ended
      const std::int64_t tick = *window.Roll->Playhead();
      // Ahead of the clock by no more than the audio file thread renders in one burst (it wakes every
      // 10 ms; 50 ms allowed), behind it by no more than a busy machine lags.
      QVERIFY2(tick <= (seconds + 0.05) * 960 && tick >= (seconds - 1) * 960,
               qPrintable(QStringLiteral("%1 ticks after %2 s").arg(tick).arg(seconds)));
      QCOMPARE(window.listModel().MarkedRow(), RowAtTick(window.noteSpans(), tick));
      rows_seen.push_back(window.listModel().MarkedRow());
    }
    QVERIFY(rows_seen.size() >= 4);
    QVERIFY(std::is_sorted(rows_seen.begin(), rows_seen.end()) && rows_seen.back() > rows_seen.front());
    window.close();
  }
#endif
};

}  // namespace

int RunPianoRollTest(int argc, char** argv) {
  PianoRollTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "piano_roll_window_test.moc"
