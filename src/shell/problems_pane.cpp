#include "shell/problems_pane.h"

#include <QHeaderView>

#include "shell/qt_text.h"

namespace quavert {

ProblemsPane::ProblemsPane(QWidget* parent) : QTreeWidget(parent) {
  setHeaderLabels({QStringLiteral("Offset"), QStringLiteral("Track"), QStringLiteral("Severity"),
                   QStringLiteral("Code"), QStringLiteral("Message")});
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAlternatingRowColors(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  header()->setStretchLastSection(true);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setColumnWidth(0, 70);
  setColumnWidth(1, 50);
  setColumnWidth(2, 70);
  setColumnWidth(3, 160);
  connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const qint64 index = item->data(0, Qt::UserRole).toLongLong();
    if (index >= 0) emit problemActivated(index);
  });
}

QSize ProblemsPane::sizeHint() const { return {600, 7 * fontMetrics().height()}; }

void ProblemsPane::SetProblems(std::vector<Problem> problems, TextEncoding encoding, const QString& note) {
  problems_ = std::move(problems);
  encoding_ = encoding;
  note_ = note;
  Fill();
}

void ProblemsPane::SetEncoding(TextEncoding encoding) {
  if (encoding == encoding_) return;
  encoding_ = encoding;
  Fill();
}

void ProblemsPane::Fill() {
  clear();
  QList<QTreeWidgetItem*> items;
  for (std::size_t i = 0; i < problems_.size(); ++i) {
    const Problem& problem = problems_[i];
    auto* item = new QTreeWidgetItem(
        {QString::number(problem.offset), problem.track ? QString::number(*problem.track) : QString(),
         problem.severity == Severity::kError ? QStringLiteral("error") : QStringLiteral("warning"),
         QString::fromLatin1(problem.code.data(), static_cast<qsizetype>(problem.code.size())),
         ToDisplay(problem.message, encoding_)});
    item->setData(0, Qt::UserRole, static_cast<qint64>(i));
    items << item;
  }
  if (problems_.empty() && !note_.isEmpty()) {
    auto* item = new QTreeWidgetItem({QString(), QString(), QString(), QString(), note_});
    item->setData(0, Qt::UserRole, qint64{-1});
    items << item;
  }
  addTopLevelItems(items);
}

}  // namespace quavert
