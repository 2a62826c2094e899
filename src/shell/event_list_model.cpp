#include "shell/event_list_model.h"

#include <QColor>
#include <limits>
#include <utility>

#include "common/run_error.h"
#include "shell/qt_text.h"

namespace quavert {

EventListModel::EventListModel(QObject* parent) : QAbstractTableModel(parent) {}

void EventListModel::Clear() {
  beginResetModel();
  marked_ = -1;
  rows_.clear();
  rows_.shrink_to_fit();
  text_.clear();
  text_.shrink_to_fit();
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

EventListModel::Cell EventListModel::Store(std::string_view text) {
  constexpr auto kLimit = std::numeric_limits<std::uint32_t>::max();
  if (text.size() > kLimit || text_.size() > kLimit - text.size()) throw RunError(kOverflow);
  const Cell cell{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size())};
  text_.append(text);
  return cell;
}

void EventListModel::Append(const std::vector<ListItem>& items) {
  if (items.empty()) return;
  if (items.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) - rows_.size())
    throw RunError(kOverflow);
  // The cells are stored before the view hears of the rows, so a failure leaves it consistent.
  std::vector<Row> added;
  added.reserve(items.size());
  const std::size_t text_before = text_.size();
  try {
    for (const ListItem& item : items) {
      Row row;
      row[0] = Store(item.Main);
      for (int sub = 0; sub < kCells - 1; ++sub) row[static_cast<std::size_t>(sub + 1)] = Store(item.Sub[static_cast<std::size_t>(sub)]);
      added.push_back(row);
    }
  } catch (...) {
    text_.resize(text_before);
    throw;
  }
  const int first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
  rows_.insert(rows_.end(), added.begin(), added.end());
  endInsertRows();
}

const EventListModel::Cell& EventListModel::CellAt(std::int64_t row, int column) const {
  if (row < 0 || row >= Count() || column < 0 || column >= kCells) throw RunError(kIndexOutOfRange);
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

std::string EventListModel::Text(std::int64_t row, int column) const { return std::string(View(CellAt(row, column))); }

void EventListModel::SetText(std::int64_t row, int column, std::string_view text) {
  CellAt(row, column);  // range check
  Cell& cell = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  if (text.size() <= cell.Length) {
    // A text no longer than the old one takes its place; only longer ones use new room.
    text_.replace(cell.Offset, text.size(), text);
    cell.Length = static_cast<std::uint32_t>(text.size());
  } else {
    cell = Store(text);
  }
  if (column < columnCount()) {
    const QModelIndex changed = index(static_cast<int>(row), column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
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
  if (rows_.empty() || columnCount() <= ProgramColumns()) return;
  emit dataChanged(index(0, ProgramColumns()), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void EventListModel::SetEncoding(TextEncoding encoding) {
  if (encoding == encoding_) return;
  encoding_ = encoding;
  if (!rows_.empty() && ProgramColumns() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, ProgramColumns() - 1), {Qt::DisplayRole});
}

int EventListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
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
  return ToDisplay(View(rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())]), encoding_);
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
