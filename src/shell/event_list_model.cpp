#include "shell/event_list_model.h"

#include <QColor>
#include <QTimer>
#include <limits>
#include <utility>

#include "common/run_error.h"
#include "shell/qt_text.h"

namespace quavert {

EventListModel::EventListModel(QObject* parent) : QAbstractTableModel(parent) {}

void EventListModel::SetCellText(CellText text) {
  beginResetModel();
  cell_text_ = std::move(text);
  endResetModel();
}

void EventListModel::AddColumn(const QString& caption) {
  const int column = static_cast<int>(captions_.size());
  if (column >= kCells) throw RunError(kIndexOutOfRange);
  // The first column of the program's brings the place columns in after it.
  const int added = column == 0 ? 1 + static_cast<int>(places_.size()) : 1;
  beginInsertColumns(QModelIndex(), column, column + added - 1);
  captions_ << caption;
  endInsertColumns();
}

void EventListModel::Reset(std::int64_t rows) {
  if (rows < 0 || rows > std::numeric_limits<int>::max()) throw RunError(kOverflow);
  beginResetModel();
  marked_ = -1;
  rows_ = rows;
  endResetModel();
}

void EventListModel::RowsChanged(std::int64_t first, std::int64_t last) {
  if (first < 0 || last < first || last >= rows_) throw RunError(kIndexOutOfRange);
  if (ProgramColumns() == 0) return;
  emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), ProgramColumns() - 1),
                   {Qt::DisplayRole});
}

std::string EventListModel::Text(std::int64_t row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= kCells || !cell_text_) throw RunError(kIndexOutOfRange);
  return cell_text_(row, column);
}

bool EventListModel::Blank(std::int64_t row, int column) const {
  try {
    return Text(row, column).empty();
  } catch (const RunError&) {
    return true;
  }
}

void EventListModel::SetMarkedRow(std::int64_t row) {
  if (row < 0 || row >= Count()) row = -1;
  if (row == marked_) return;
  const std::int64_t before = std::exchange(marked_, row);
  for (const std::int64_t changed : {before, row}) {
    if (changed < 0 || columnCount() == 0) continue;
    emit dataChanged(index(static_cast<int>(changed), 0), index(static_cast<int>(changed), columnCount() - 1),
                     {Qt::BackgroundRole});
  }
}

void EventListModel::SetPlaceColumns(std::vector<PlaceColumn> columns, PlaceCellText text) {
  const int program = ProgramColumns();
  if (program > 0 && !places_.empty()) {
    beginRemoveColumns(QModelIndex(), program, program + static_cast<int>(places_.size()) - 1);
    places_.clear();
    endRemoveColumns();
  }
  place_text_ = std::move(text);
  if (program > 0 && !columns.empty()) {
    beginInsertColumns(QModelIndex(), program, program + static_cast<int>(columns.size()) - 1);
    places_ = std::move(columns);
    endInsertColumns();
  } else {
    places_ = std::move(columns);
  }
}

void EventListModel::RefreshPlaceColumns() {
  if (rows_ == 0 || columnCount() <= ProgramColumns()) return;
  emit dataChanged(index(0, ProgramColumns()), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void EventListModel::SetEncoding(TextEncoding encoding) {
  if (encoding == encoding_) return;
  encoding_ = encoding;
  if (rows_ > 0 && ProgramColumns() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, ProgramColumns() - 1), {Qt::DisplayRole});
}

int EventListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_);
}

int EventListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  // The place columns come after the program's, once there are any.
  return ProgramColumns() + (ProgramColumns() > 0 ? static_cast<int>(places_.size()) : 0);
}

QVariant EventListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (role == Qt::BackgroundRole && index.row() == marked_) return QColor(255, 226, 140);
  if (role != Qt::DisplayRole) return {};
  if (index.column() >= ProgramColumns()) {
    const auto place = places_[static_cast<std::size_t>(index.column() - ProgramColumns())];
    return place_text_ ? place_text_(index.row(), place) : QString();
  }
  try {
    return ToDisplay(Text(index.row(), index.column()), encoding_);
  } catch (const RunError&) {
    // Rows the program no longer has are drawn blank until it says what the list shows.
    return QString();
  }
}

bool EventListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole && role != kEditThenNextRole && role != kEditThenPreviousRole) return false;
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
      index.column() >= ProgramColumns() || !edit_done_)
    return false;
  CellEdit edit{index.row() + 1, index.column(), {}, FromUser(value.toString()),
                role == kEditThenNextRole ? 1 : role == kEditThenPreviousRole ? -1 : 0};
  try {
    edit.OldText = Text(index.row(), index.column());
  } catch (const RunError&) {
    // The program tells whether it has the row when the edit reaches it.
  }
  // Delivered once the view has closed the editor; dropped when the model is gone or has been
  // told to stop in the meantime.
  QTimer::singleShot(0, this, [this, edit = std::move(edit)] {
    if (edit_done_) edit_done_(edit);
  });
  return true;
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
  if (section >= ProgramColumns()) {
    static const char* const kCaptions[] = {"Offset", "Bytes", "Time"};
    return QString::fromLatin1(kCaptions[static_cast<int>(places_[static_cast<std::size_t>(section - ProgramColumns())])]);
  }
  return captions_[section];
}

Qt::ItemFlags EventListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

}  // namespace quavert
