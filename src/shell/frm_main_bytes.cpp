// The views of the file's bytes: the list's Offset, Bytes and Time columns, the bytes pane beside
// the list, the problems pane under it, and the encoding the file's texts are shown in.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <exception>
#include <functional>

#include "commands/event_list.h"
#include "commands/guard.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "lint/lint.h"
#include "shell/bytes_pane.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/problems_pane.h"
#include "timeline/bar_beat_tick.h"

namespace quavert {
namespace {

using PlaceColumn = EventListModel::PlaceColumn;

constexpr int kOffsetWidth = 70;
constexpr int kBytesWidth = 190;
constexpr int kTimeWidth = 110;

}  // namespace

void frmmain::BuildByteMenus(QMenu* view) {
  view->addSeparator();
  mnuOffsetColumn = view->addAction(QStringLiteral("Offset Column"));
  mnuBytesColumn = view->addAction(QStringLiteral("Bytes Column"));
  mnuTimeColumn = view->addAction(QStringLiteral("Time Column"));
  view->addSeparator();
  mnuBytes = view->addAction(QStringLiteral("Bytes"));
  mnuProblems = view->addAction(QStringLiteral("Problems"));
  for (QAction* toggle : {mnuOffsetColumn, mnuBytesColumn, mnuTimeColumn, mnuBytes, mnuProblems}) toggle->setCheckable(true);
  mnuTextEncoding = view->addMenu(QStringLiteral("Text Encoding"));
  TextEncodingGroup = new QActionGroup(this);
  for (const TextEncoding encoding : kTextEncodings) {
    const std::string_view name = EncodingName(encoding);
    QAction* action = mnuTextEncoding->addAction(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    action->setCheckable(true);
    action->setChecked(encoding == TextEncoding::kAutomatic);
    action->setData(static_cast<int>(encoding));
    TextEncodingGroup->addAction(action);
  }
}

QWidget* frmmain::BuildListArea() {
  auto* area = new QSplitter(Qt::Horizontal, this);
  BytesView = new BytesPane(area);
  BytesView->setObjectName(QStringLiteral("BytesView"));
  BytesView->setVisible(false);
  area->addWidget(ListView1);
  area->addWidget(BytesView);
  area->setStretchFactor(0, 1);
  area->setStretchFactor(1, 0);
  area->setChildrenCollapsible(false);
  return area;
}

void frmmain::BuildProblemsView() {
  ProblemsView = new ProblemsPane(this);
  ProblemsView->setObjectName(QStringLiteral("ProblemsView"));
  ProblemsView->setVisible(false);
}

void frmmain::ConnectByteViews() {
  const std::pair<QAction*, bool ViewSettings::*> columns[] = {{mnuOffsetColumn, &ViewSettings::OffsetColumn},
                                                               {mnuBytesColumn, &ViewSettings::BytesColumn},
                                                               {mnuTimeColumn, &ViewSettings::TimeColumn}};
  for (const auto& [action, flag] : columns) {
    connect(action, &QAction::toggled, this, [this, flag](bool on) {
      session_.view.*flag = on;
      UpdatePlaceColumns();
      SyncByteViews();
    });
  }
  connect(mnuBytes, &QAction::toggled, this, [this](bool on) {
    session_.view.BytesPane = on;
    BytesView->setVisible(on);
    SyncByteViews();
    const QModelIndex current = ListView1->currentIndex();
    ShowRowBytes(current.isValid() ? current.row() : -1);
  });
  connect(mnuProblems, &QAction::toggled, this, [this](bool on) {
    session_.view.ProblemsPane = on;
    ProblemsView->setVisible(on);
    SyncByteViews();
  });
  connect(TextEncodingGroup, &QActionGroup::triggered, this,
          [this](QAction* action) { SetTextEncoding(static_cast<TextEncoding>(action->data().toInt())); });
  connect(ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { ShowRowBytes(current.isValid() ? current.row() : -1); });
  connect(BytesView, &BytesPane::byteClicked, this, &frmmain::BytesClicked);
  connect(ProblemsView, &ProblemsPane::problemActivated, this, &frmmain::ShowProblem);
}

void frmmain::ShowByteViewSettings() {
  const ViewSettings view = session_.view;  // the toggles below write it as they go
  mnuOffsetColumn->setChecked(view.OffsetColumn);
  mnuBytesColumn->setChecked(view.BytesColumn);
  mnuTimeColumn->setChecked(view.TimeColumn);
  mnuBytes->setChecked(view.BytesPane);
  mnuProblems->setChecked(view.ProblemsPane);
  SetTextEncoding(view.Encoding);
}

void frmmain::SetTextEncoding(TextEncoding encoding) {
  session_.view.Encoding = encoding;
  for (QAction* action : TextEncodingGroup->actions())
    if (action->data().toInt() == static_cast<int>(encoding)) action->setChecked(true);
  model_->SetEncoding(encoding);
  toolkit_.SetTextEncoding(encoding);
  ProblemsView->SetEncoding(encoding);
}

void frmmain::UpdatePlaceColumns() {
  std::vector<PlaceColumn> shown;
  if (session_.view.OffsetColumn) shown.push_back(PlaceColumn::kOffset);
  if (session_.view.BytesColumn) shown.push_back(PlaceColumn::kBytes);
  if (session_.view.TimeColumn) shown.push_back(PlaceColumn::kTime);
  if (shown == model_->PlaceColumns()) return;
  model_->SetPlaceColumns(shown, [this](int row, PlaceColumn column) { return PlaceCell(row, static_cast<int>(column)); });
  const int first = model_->ProgramColumns();
  for (std::size_t i = 0; i < shown.size() && first > 0; ++i) {
    const int width = shown[i] == PlaceColumn::kOffset ? kOffsetWidth : shown[i] == PlaceColumn::kBytes ? kBytesWidth : kTimeWidth;
    ListView1->setColumnWidth(first + static_cast<int>(i), width);
  }
}

QString frmmain::PlaceCell(int row, int column) const {
  const TrackBytes& bytes = track_bytes_;
  // The places belong to these rows only while there are as many: otherwise the cells wait for
  // the track to be read again.
  if (row < 0 || bytes.Places.size() != static_cast<std::size_t>(model_->Count())) return {};
  const auto index = static_cast<std::size_t>(row);
  switch (static_cast<PlaceColumn>(column)) {
    case PlaceColumn::kOffset: {
      const auto offset = bytes.RowOffset(index);
      return offset ? QString::number(*offset) : QString();
    }
    case PlaceColumn::kBytes: return QString::fromLatin1(HexPairs(bytes.RowBytes(index)));
    case PlaceColumn::kTime:
      if (!bytes.RowOffset(index)) return {};
      return QString::fromLatin1(TimeCellText(tempo_map_, bytes.Places[index].tick));
  }
  return {};
}

void frmmain::ReadTrackBytesIfChanged(bool needed) {
  if (!needed) {
    // Nothing shows them: they are read afresh when something does.
    track_bytes_ = {};
    bytes_read_for_.clear();
    return;
  }
  const LoadedFile& file = session_.file;
  const FileStamp stamp = file.WorkCopyName.empty() ? FileStamp{} : StampOf(session_.WorkCopyPath());
  const std::vector<std::int64_t> key = {stamp.Exists, stamp.Size, stamp.ModifiedNs, file.CurrentTrack,
                                         session_.tracks.TrackCount, session_.decoder.FirstEventPos,
                                         session_.decoder.TrackLength, session_.decoder.LastEventIndex,
                                         file.InsertedStatusPos, file.FromRmid,
                                         static_cast<std::int64_t>(std::hash<std::string>{}(file.LastOpenedPath))};
  if (key == bytes_read_for_) return;
  bytes_read_for_ = key;
  track_bytes_ = ReadTrackBytes(session_, file.LastOpenedPath);
  const auto first_offset = track_bytes_.ChunkPos > 0 ? track_bytes_.ChunkPos - 1 + track_bytes_.FileShift : 0;
  BytesView->SetBytes(track_bytes_.Chunk, first_offset);
}

void frmmain::SyncByteViews() {
  if (ended_) return;
  const ViewSettings& view = session_.view;
  RunGuarded(session_, [&] {
    const std::vector<std::int64_t> before = bytes_read_for_;
    ReadTrackBytesIfChanged(view.OffsetColumn || view.BytesColumn || view.TimeColumn || view.BytesPane);
    if (bytes_read_for_ != before) {
      model_->RefreshPlaceColumns();
      const QModelIndex current = ListView1->currentIndex();
      ShowRowBytes(current.isValid() ? current.row() : -1);
    }
  });
  if (!view.ProblemsPane) return;
  const std::string& path = session_.file.LastOpenedPath;
  const FileStamp stamp = path.empty() ? FileStamp{} : StampOf(path);
  if (path == linted_path_ && stamp == linted_stamp_) return;
  linted_path_ = path;
  linted_stamp_ = stamp;
  if (path.empty()) {
    ProblemsView->SetProblems({}, view.Encoding, {});
    return;
  }
  try {
    std::vector<Problem> problems = LintFile(path);
    ProblemsView->SetProblems(std::move(problems), view.Encoding, QStringLiteral("No problems found."));
  } catch (const std::exception&) {
    ProblemsView->SetProblems({}, view.Encoding, QStringLiteral("The file cannot be read."));
  }
}

void frmmain::ShowRowBytes(int row) {
  if (!session_.view.BytesPane) return;
  const TrackBytes& bytes = track_bytes_;
  if (row < 0 || static_cast<std::size_t>(row) >= bytes.Places.size() ||
      bytes.Places.size() != static_cast<std::size_t>(model_->Count())) {
    BytesView->SetHighlight(-1, -1);
    return;
  }
  const RowPlace& place = bytes.Places[static_cast<std::size_t>(row)];
  BytesView->SetHighlight(place.first - bytes.ChunkPos, place.last - bytes.ChunkPos);
}

void frmmain::BytesClicked(qint64 index) {
  const TrackBytes& bytes = track_bytes_;
  const std::int64_t row = bytes.RowOwning(bytes.ChunkPos + index);
  if (row < 0 || row >= model_->Count() || bytes.Places.size() != static_cast<std::size_t>(model_->Count())) return;
  ListView1->selectRow(static_cast<int>(row));
  ListView1->scrollTo(model_->index(static_cast<int>(row), 0));
}

void frmmain::ShowProblem(qint64 index) {
  if (ended_ || running_command_ || index < 0 || index >= static_cast<qint64>(ProblemsView->Problems().size())) return;
  const Problem problem = ProblemsView->Problems()[static_cast<std::size_t>(index)];
  const int track = problem.track.value_or(0);
  if (track >= 1 && track <= Combo1->count()) {
    bool stopped = false;
    // The user may stop the decode or the listing with Esc: the track shown then stays as it was.
    KeepListPlace([&] {
      CommandTelling([&] {
        if (track != session_.file.CurrentTrack) {
          Combo1->setCurrentIndex(track - 1);
          stopped = !Combo1Click(session_, track - 1, true);
        }
        if (stopped || model_->Count() != 0 || !Command1->isEnabled()) return Change::kOther;
        // The rows are listed as "Notes..." lists them, so that the problem's row can be selected.
        stopped = !Command1Click(session_);
        return stopped ? Change::kOther : Change::kListBuilt;
      });
    });
    if (stopped) return;
  }
  if (ended_) return;
  RunGuarded(session_, [&] { ReadTrackBytesIfChanged(true); });
  const TrackBytes& bytes = track_bytes_;
  const std::int64_t pos = bytes.WorkPos(problem.offset);
  const std::int64_t in_chunk = pos - bytes.ChunkPos;
  if (bytes.ChunkPos <= 0 || in_chunk < 0 || in_chunk >= static_cast<std::int64_t>(bytes.Chunk.size())) return;
  const std::int64_t row = bytes.RowHolding(pos);
  if (row >= 0 && row < model_->Count() && bytes.Places.size() == static_cast<std::size_t>(model_->Count())) {
    ListView1->setFocus();
    ListView1->selectRow(static_cast<int>(row));
    ListView1->scrollTo(model_->index(static_cast<int>(row), 0));
  } else if (!session_.view.BytesPane) {
    // No row holds it: the byte is shown where the bytes are.
    mnuBytes->setChecked(true);
  }
  BytesView->SetMarkedByte(in_chunk);
}

}  // namespace quavert
