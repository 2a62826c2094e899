#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "common/run_error.h"
#include "shell/event_list_model.h"
#include "shell_tests.h"

namespace quavert::testing {
namespace {

ListItem Item(std::string main, std::string notes, std::string volume, std::string length, std::string description) {
  return {std::move(main), {std::move(notes), std::move(volume), std::move(length), std::move(description)}};
}

void AddFiveColumns(EventListModel& model) {
  for (const char* caption : {"Channel", "Notes", "Volume", "Length", "Description"})
    model.AddColumn(QString::fromLatin1(caption));
}

template <typename Call>
int RunErrorCode(Call&& call) {
  try {
    call();
  } catch (const RunError& failure) {
    return failure.code();
  }
  return 0;
}

class EventListModelTest : public QObject {
  Q_OBJECT

 private slots:
  void StaysConsistentThroughEveryChange() {
    EventListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    AddFiveColumns(model);
    model.Append({Item("1", "C4", "100", "96", "On  - Piano"), Item("10", "36", "90", "0", "On  - Bass Drum")});
    model.Append({});
    model.Append({Item("2", "", "", "480", "Text: hello")});
    model.SetText(0, 1, "c#4");
    model.Clear();
    model.Append({Item("3", "", "", "", "")});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 5);
  }

  void KeepsEveryCellsBytes() {
    EventListModel model;
    AddFiveColumns(model);
    model.Append({Item("1", "60", "100", "96", "Instrument: Acoustic Grand Piano")});
    QCOMPARE(model.Count(), 1);
    QCOMPARE(model.Text(0, 0), std::string("1"));
    QCOMPARE(model.Text(0, 4), std::string("Instrument: Acoustic Grand Piano"));
    QCOMPARE(model.headerData(4, Qt::Horizontal).toString(), QStringLiteral("Description"));

    // Shorter and longer replacements both keep their neighbours intact.
    model.SetText(0, 1, "7");
    model.SetText(0, 2, "a much longer volume text than before");
    QCOMPARE(model.Text(0, 1), std::string("7"));
    QCOMPARE(model.Text(0, 2), std::string("a much longer volume text than before"));
    QCOMPARE(model.Text(0, 3), std::string("96"));
    QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("a much longer volume text than before"));
  }

  void ShowsOldTextAsLatin1() {
    EventListModel model;
    AddFiveColumns(model);
    model.Append({Item("1", "", "", "0", "Text: Gr\xFC\xDF" "e")});
    QCOMPARE(model.data(model.index(0, 4)).toString(), QString::fromUtf8("Text: Grüße"));
    QCOMPARE(model.Text(0, 4), std::string("Text: Gr\xFC\xDF" "e"));
  }

  void TellsTheViewWhatChanged() {
    EventListModel model;
    AddFiveColumns(model);
    model.Append({Item("1", "60", "100", "96", "x"), Item("1", "62", "100", "96", "y")});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetText(1, 3, "192");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.front().at(0).toModelIndex(), model.index(1, 3));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.Append({Item("2", "", "", "", ""), Item("2", "", "", "", ""), Item("2", "", "", "", "")});
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.front().at(1).toInt(), 2);
    QCOMPARE(inserted.front().at(2).toInt(), 4);
  }

  void RefusesCellsOutsideTheList() {
    EventListModel model;
    AddFiveColumns(model);
    model.Append({Item("1", "60", "100", "96", "x")});
    QCOMPARE(RunErrorCode([&] { model.Text(1, 0); }), static_cast<int>(kIndexOutOfRange));
    QCOMPARE(RunErrorCode([&] { model.Text(-1, 0); }), static_cast<int>(kIndexOutOfRange));
    QCOMPARE(RunErrorCode([&] { model.Text(0, 5); }), static_cast<int>(kIndexOutOfRange));
    QCOMPARE(RunErrorCode([&] { model.SetText(0, -1, "x"); }), static_cast<int>(kIndexOutOfRange));
    QCOMPARE(RunErrorCode([&] { model.AddColumn(QStringLiteral("Sixth")); }), static_cast<int>(kIndexOutOfRange));
    QCOMPARE(model.columnCount(), 5);
  }

  void ClearKeepsTheColumns() {
    EventListModel model;
    AddFiveColumns(model);
    model.Append({Item("1", "60", "100", "96", "x")});
    model.Clear();
    QCOMPARE(model.Count(), 0);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Channel"));
  }

  void EveryCellOpensAnEditorButNoneIsWrittenByTheView() {
    EventListModel model;
    AddFiveColumns(model);
    model.Append({Item("1", "60", "100", "96", "x")});
    QVERIFY(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("61")));
    QCOMPARE(model.Text(0, 1), std::string("60"));
  }
};

}  // namespace

int RunEventListModelTest(int argc, char** argv) {
  EventListModelTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "event_list_model_test.moc"
