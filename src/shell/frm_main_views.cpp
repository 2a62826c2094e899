// The views that show where the music is: the piano roll under the list, the played row, the
// position slider and the place in the status bar, and the keys and commands that move the place.
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <climits>

#include "commands/current_genmidi.h"
#include "loading/chunk_headers.h"
#include "commands/guard.h"
#include "commands/playback_actions.h"
#include "common/binary_file.h"
#include "editing/genmidi.h"
#include "editing/name_lookups.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/piano_roll.h"
#include "shell/qt_text.h"
#include "timeline/file_timeline.h"
#include "timeline/midi_length.h"

namespace quavert {
namespace {

// After the user scrolls the list, it is left where it is for this long.
constexpr qint64 kUserScrollPause = 3000;

}  // namespace

void frmmain::BuildViews() {
  RollPane = new QWidget(this);
  auto* layout = new QVBoxLayout(RollPane);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* buttons = new QHBoxLayout;
  ZoomInButton = new QPushButton(QStringLiteral("Zoom In"), RollPane);
  ZoomOutButton = new QPushButton(QStringLiteral("Zoom Out"), RollPane);
  for (QPushButton* button : {ZoomInButton, ZoomOutButton}) {
    button->setFocusPolicy(Qt::NoFocus);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  Roll = new PianoRoll(RollPane);
  layout->addLayout(buttons);
  layout->addWidget(Roll, 1);
  RollPane->setVisible(false);
  for (QWidget* keys : std::initializer_list<QWidget*>{ListView1, Roll}) keys->addActions({PlayPauseKey, mnuPlayFromHere});
  // Notes drawn before any track is listed: none.
  notes_ = std::make_shared<NoteSpans>();
  Roll->SetNotes(notes_);
}

void frmmain::ConnectViews() {
  connect(mnuPianoRoll, &QAction::toggled, this, [this](bool shown) {
    session_.view.PianoRoll = shown;
    if (shown && !ended_) RunGuarded(session_, [this] { EnsureNotes(); });
    RollPane->setVisible(shown);
  });
  connect(mnuFollowPlayback, &QAction::toggled, this, [this](bool on) { session_.view.FollowPlayback = on; });
  connect(ZoomInButton, &QPushButton::clicked, Roll, &PianoRoll::ZoomIn);
  connect(ZoomOutButton, &QPushButton::clicked, Roll, &PianoRoll::ZoomOut);
  connect(Roll, &PianoRoll::spanClicked, this, &frmmain::RollSpanClicked);
  connect(ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ListRowChosen(current.isValid() ? current.row() : -1); });
  connect(ListView1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    if (!scrolling_list_) user_scrolled_at_ = clock_.elapsed();
  });
  connect(FollowTimer, &QTimer::timeout, this, &frmmain::FollowPlayback);
  // Stopped, the device is back at the start, also when it was paused: the place goes.
  for (QAction* stop : {mnuStop, Toolbar2Buttons[6]})
    connect(stop, &QAction::triggered, this, [this] {
      if (session_.player.LastMciError == 0) ShowPlace(std::nullopt, false);
    });
  connect(mnuPlayFromHere, &QAction::triggered, this, &frmmain::PlayFromHere);
  connect(PlayPauseKey, &QAction::triggered, this, &frmmain::PlayOrPause);
  connect(mnuPlay, &QAction::changed, this, &frmmain::UpdatePlaybackControls);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    const QModelIndex index = ListView1->indexAt(at);
    if (!index.isValid()) return;
    ListView1->selectRow(index.row());
    QMenu menu(this);
    menu.addAction(mnuPlayFromHere);
    menu.exec(ListView1->viewport()->mapToGlobal(at));
  });
  connect(PositionSlider, &QSlider::sliderReleased, this, [this] { SeekTo(PositionSlider->value()); });
  connect(PositionSlider, &QSlider::actionTriggered, this, [this](int action) {
    if (action != QAbstractSlider::SliderMove) SeekTo(PositionSlider->sliderPosition());
  });
}

void frmmain::ShowPianoRoll(bool shown) { mnuPianoRoll->setChecked(shown); }

void frmmain::UpdatePlaybackControls() {
  // The slider and the keys work whenever Play could: a file is open for playing.
  const bool playable = mnuPlay->isEnabled() || mnuPause->isEnabled();
  PositionSlider->setEnabled(playable);
  mnuPlayFromHere->setEnabled(playable);
}

void frmmain::ReadWorkCopyTimeline() {
  TempoMap map;
  std::int64_t length = 0;
  if (work_stamp_.Exists) {
    try {
      BinaryFile work(session_.WorkCopyPath(), BinaryFile::Mode::kRead);
      map = ReadTempoMap(work);
      length = MidiLengthInTicks(work);
    } catch (const std::exception&) {
      // A working copy that cannot be read shows no bar lines and no length.
    }
  }
  tempo_map_ = map;
  song_ticks_ = length;
  PositionSlider->setRange(0, static_cast<int>(std::min<std::int64_t>(length, INT_MAX)));
  Roll->SetTempoMap(map);
  // The rows' timing costs a walk of the track and a number per row: it is read when the notes
  // are paired, not for every change of the working copy.
  work_timing_.reset();
}

const RowTiming& frmmain::WorkCopyTiming() {
  if (work_timing_) return *work_timing_;
  RowTiming timing;
  const int track = session_.file.CurrentTrack;
  if (work_stamp_.Exists && session_.decoder.LastEventIndex >= 0 && track >= 1 && track <= session_.tracks.TrackCount) {
    try {
      BinaryFile work(session_.WorkCopyPath(), BinaryFile::Mode::kRead);
      const std::int64_t data = session_.tracks.TrackStart[static_cast<std::size_t>(track)] + kChunkHeaderLength;
      timing = ReadRowTiming(work, data, data + session_.decoder.TrackLength - 1);
    } catch (const std::exception&) {
      timing = RowTiming{};  // the rows' own deltas alone
    }
  }
  return work_timing_.emplace(std::move(timing));
}

void frmmain::SyncViews() {
  // The working copy is walked again only when it or the chosen track changed.
  const FileStamp stamp = session_.file.WorkCopyName.empty() ? FileStamp{} : StampOf(session_.WorkCopyPath());
  const std::array<std::int64_t, 3> track = {session_.file.CurrentTrack, session_.decoder.FirstEventPos,
                                             session_.decoder.TrackLength};
  if (stamp != work_stamp_ || track != work_track_) {
    work_stamp_ = stamp;
    work_track_ = track;
    ReadWorkCopyTimeline();
  }
  // The notes are paired only for a roll in sight; playback and "Play from Here" ask themselves.
  if (session_.view.PianoRoll) EnsureNotes();
  SyncByteViews();
}

void frmmain::EnsureNotes() {
  const TrackRows& rows = session_.buffers.Rows;
  // The ticks of events without rows count while the rows are those the decode gave.
  const RowTiming& timing = WorkCopyTiming();
  const std::int64_t first_tick = timing.FirstTick;
  const std::vector<std::int64_t> no_extra;
  const std::vector<std::int64_t>& extra =
      timing.Rows == static_cast<std::size_t>(rows.size()) ? timing.Extra : no_extra;
  const std::uint64_t digest = rows.Digest();
  if (rows_shown_ == digest && first_tick == first_tick_ && extra == extra_shown_) return;
  // An edit changes a row or two; another track or file changes the count, or the rows were none.
  const bool new_track = !rows_shown_ || static_cast<std::int64_t>(notes_->RowTicks.size()) != rows.size() ||
                         notes_->RowTicks.empty();
  rows_shown_ = digest;
  first_tick_ = first_tick;
  extra_shown_ = extra;
  notes_ = std::make_shared<NoteSpans>(BuildNoteSpans(rows.Records(), first_tick, extra));
  QStringList key_names;
  QStringList drum_names;
  const GenmidiNames& genmidi = CurrentGenmidi(session_);
  for (int key = 0; key < kRollKeys; ++key) {
    key_names << ToDisplay(NoteText(session_.names, key));
    drum_names << ToDisplay(DrumName(genmidi, key));
  }
  Roll->SetNames(key_names, drum_names);
  Roll->SetNotes(notes_, new_track);
  const QModelIndex current = ListView1->currentIndex();
  Roll->SelectSpan(current.isValid() && current.row() < static_cast<int>(notes_->SpanOfRow.size())
                       ? notes_->SpanOfRow[static_cast<std::size_t>(current.row())]
                       : -1);
}

void frmmain::ListRowChosen(int row) {
  if (!session_.view.PianoRoll) return;
  const std::vector<std::int32_t>& spans = notes_->SpanOfRow;
  Roll->SelectSpan(row >= 0 && row < static_cast<int>(spans.size()) ? spans[static_cast<std::size_t>(row)] : -1);
}

void frmmain::RollSpanClicked(qint64 index) {
  if (index < 0 || index >= static_cast<qint64>(notes_->Spans.size())) return;
  const auto row = static_cast<int>(notes_->Spans[static_cast<std::size_t>(index)].OnRow);
  if (row >= model_->rowCount()) return;
  ListView1->selectRow(row);
  ListView1->scrollTo(model_->index(row, 0));
}

void frmmain::ShowPlace(std::optional<std::int64_t> tick, bool follow) {
  Roll->SetPlayhead(tick, follow);
  if (!tick) {
    PositionLabel->clear();
    model_->SetMarkedRow(-1);
    return;
  }
  PositionLabel->setText(QString::fromStdString(PlacePositionText(tempo_map_, *tick, song_ticks_)));
  if (!PositionSlider->isSliderDown()) PositionSlider->setValue(static_cast<int>(std::min<std::int64_t>(*tick, INT_MAX)));
  const std::int64_t row = RowAtTick(*notes_, *tick);
  model_->SetMarkedRow(row);
  const bool user_scrolling = user_scrolled_at_ >= 0 && clock_.elapsed() - user_scrolled_at_ < kUserScrollPause;
  if (follow && row >= 0 && row < model_->Count() && !user_scrolling) {
    scrolling_list_ = true;
    ListView1->scrollTo(model_->index(static_cast<int>(row), 0));
    scrolling_list_ = false;
  }
}

void frmmain::FollowPlayback() {
  if (ended_ || running_command_) return;
  if (!session_.player.Playing) {
    if (Roll->Playhead() && !session_.player.Paused) ShowPlace(std::nullopt, false);
    return;
  }
  running_command_ = true;
  std::optional<std::int64_t> tick;
  RunGuarded(session_, [&] {
    tick = PlayedTick(session_);
    if (tick) EnsureNotes();
  });
  running_command_ = false;
  if (tick) ShowPlace(tick, session_.view.FollowPlayback && !session_.player.Paused);
  if (close_pending_) close();
}

void frmmain::SeekTo(std::int64_t tick) {
  Command([&] { SeekAction(session_, tick); }, false);
  if (session_.player.LastMciError == 0) ShowPlace(tick, session_.view.FollowPlayback);
}

void frmmain::PlayFromHere() {
  if (!mnuPlayFromHere->isEnabled() || ended_ || running_command_) return;
  RunGuarded(session_, [this] { EnsureNotes(); });
  const QModelIndex current = ListView1->currentIndex();
  if (!current.isValid() || current.row() >= static_cast<int>(notes_->RowTicks.size())) return;
  const std::int64_t tick = notes_->RowTicks[static_cast<std::size_t>(current.row())];
  Command([&] { PlayFromAction(session_, tick); }, false);
}

void frmmain::PlayOrPause() {
  if (session_.player.Playing && !session_.player.Paused && mnuPause->isEnabled()) {
    mnuPause->trigger();
  } else if (mnuPlay->isEnabled()) {
    mnuPlay->trigger();
  }
}

}  // namespace quavert
