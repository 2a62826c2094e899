#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/text_encoding.h"

namespace quavert {

/// The end of one in-place edit: the 1-based item, the column, the text the cell showed and the
/// text typed (both as bytes).
struct CellEdit {
  std::int64_t Item = 0;
  int Column = 0;
  std::string OldText;
  std::string NewText;
  /// The edit ended with Tab (1) or Shift+Tab (-1): the next or the previous editable cell is
  /// edited next; 0 otherwise.
  int Next = 0;
  bool operator==(const CellEdit&) const = default;
};

/// ListView1 as a view of the program's rows: it keeps no cell texts, only how many rows it
/// shows, and reads each cell it draws through the program's CellText. Every cell is editable
/// only so that the in-place editor can open on it; what is typed reaches the program through
/// setData, after the editor has closed, and the program stores what it accepts and says which
/// rows changed.
class EventListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kCells = 5;
  /// Roles setData takes besides Qt::EditRole: the edit ended with Tab or with Shift+Tab.
  static constexpr int kEditThenNextRole = Qt::UserRole + 1;
  static constexpr int kEditThenPreviousRole = Qt::UserRole + 2;

  /// The text of a program cell as bytes: 0-based row, column 0 (the main text) .. 4. RunError
  /// when the program has no such row.
  using CellText = std::function<std::string(std::int64_t row, int column)>;
  /// Who hears of each typed text.
  using EditDone = std::function<void(const CellEdit&)>;

  /// Columns the window may add after the program's, each computed when it is drawn.
  enum class PlaceColumn { kOffset, kBytes, kTime };
  using PlaceCellText = std::function<QString(int row, PlaceColumn column)>;

  explicit EventListModel(QObject* parent = nullptr);

  /// Where the cells' texts come from.
  void SetCellText(CellText text);
  /// Who hears of each finished edit; an empty one stops the notifications (used at shutdown,
  /// when an editor still open would otherwise report during teardown).
  void SetEditDone(EditDone done) { edit_done_ = std::move(done); }

  void AddColumn(const QString& caption);
  /// Shows `rows` rows from now on, every cell read afresh; 0 empties the list, whose headers
  /// stay. RunError 6 when more rows than a view can hold.
  void Reset(std::int64_t rows);
  /// Rows `first` .. `last` (0-based) show other texts now. RunError 9 outside the list.
  void RowsChanged(std::int64_t first, std::int64_t last);
  std::int64_t Count() const { return rows_; }
  /// Cell text of a 0-based row; column 0 is the main text. RunError 9 outside the list.
  std::string Text(std::int64_t row, int column) const;
  /// Whether a cell shows no text: also true of a cell outside the list or of a row the program
  /// no longer has.
  bool Blank(std::int64_t row, int column) const;
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
  /// Hands the text typed into a program cell (Qt::EditRole, or one of the roles above) to
  /// EditDone once control is back in the event loop, so that a message the program shows about
  /// it finds the editor closed and the list at rest. The cell is left as it is. True when the
  /// edit was handed on.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  CellText cell_text_;
  EditDone edit_done_;
  std::int64_t rows_ = 0;
  QStringList captions_;
  std::int64_t marked_ = -1;
  std::vector<PlaceColumn> places_;
  PlaceCellText place_text_;
  TextEncoding encoding_ = TextEncoding::kAutomatic;
};

}  // namespace quavert
