#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/toolkit.h"
#include "common/text_encoding.h"

namespace quavert {

/// The rows of ListView1: for each item its main text and four sub-item texts, kept as bytes
/// in one block of text (no object per cell), so that 200,000 rows fill in a blink. The view
/// never writes a cell: every cell is editable only so that the in-place editor can open on it,
/// and the program writes what it accepts through SetText.
class EventListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kCells = 5;

  /// Columns the window may add after the program's, each computed when it is drawn.
  enum class PlaceColumn { kOffset, kBytes, kTime };
  using PlaceCellText = std::function<QString(int row, PlaceColumn column)>;

  explicit EventListModel(QObject* parent = nullptr);

  /// Removes every row; the column headers stay.
  void Clear();
  void AddColumn(const QString& caption);
  /// Appends rows after the last one. RunError 6 when the list would outgrow what a view can hold.
  void Append(const std::vector<ListItem>& items);
  std::int64_t Count() const { return static_cast<std::int64_t>(rows_.size()); }
  /// Cell text of a 0-based row; column 0 is the main text. RunError 9 outside the list.
  std::string Text(std::int64_t row, int column) const;
  /// Replaces a cell's text. RunError 9 outside the list.
  void SetText(std::int64_t row, int column, std::string_view text);
  /// Marks the 0-based row being played with a background of its own; -1 marks none.
  void SetMarkedRow(std::int64_t row);
  std::int64_t MarkedRow() const { return marked_; }
  /// The columns the program added.
  int ProgramColumns() const { return static_cast<int>(captions_.size()); }
  /// Shows `columns` after the program's, in that order, their cells given by `text`; none
  /// shows the program's columns alone. They follow the program's only once it has added any.
  void SetPlaceColumns(std::vector<PlaceColumn> columns, PlaceCellText text);
  const std::vector<PlaceColumn>& PlaceColumns() const { return places_; }
  /// The place columns' cells changed: they are drawn again.
  void RefreshPlaceColumns();
  /// How the program's cells are shown: Automatic as ever, or through an encoding.
  void SetEncoding(TextEncoding encoding);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Cell {
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
  };
  using Row = std::array<Cell, kCells>;

  Cell Store(std::string_view text);
  const Cell& CellAt(std::int64_t row, int column) const;
  std::string_view View(const Cell& cell) const { return std::string_view(text_).substr(cell.Offset, cell.Length); }

  std::string text_;  // every cell's bytes, one after another
  std::vector<Row> rows_;
  QStringList captions_;
  std::int64_t marked_ = -1;
  std::vector<PlaceColumn> places_;
  PlaceCellText place_text_;
  TextEncoding encoding_ = TextEncoding::kAutomatic;
};

}  // namespace quavert
