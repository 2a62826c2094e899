#include <QTest>

#include "shell/qt_text.h"
#include "shell_tests.h"

namespace quavert::testing {
namespace {

class QtTextTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsUtf8AsSuchAndEverythingElseAsLatin1() {
    QCOMPARE(ToDisplay("SONG.MID"), QStringLiteral("SONG.MID"));
    QCOMPARE(ToDisplay("/music/Gr\xC3\xBC\xC3\x9F" "e.mid"), QString::fromUtf8("/music/Grüße.mid"));
    QCOMPARE(ToDisplay("Gr\xFC\xDF" "e"), QString::fromUtf8("Grüße"));
    // A UTF-8 sequence cut short is not UTF-8.
    QCOMPARE(ToDisplay("caf\xC3"), QString::fromUtf8("cafÃ"));
    QCOMPARE(ToDisplay("line 1\r\nline 2\r\n"), QStringLiteral("line 1\nline 2\n"));
  }

  void TypedTextComesBackAsShown() {
    QCOMPARE(FromUser(QStringLiteral("c#4")), std::string("c#4"));
    QCOMPARE(FromUser(QString::fromUtf8("Grüße")), std::string("Gr\xFC\xDF" "e"));
    QCOMPARE(FromUser(QString::fromUtf8("5 €")), std::string("5 \xE2\x82\xAC"));
    for (const char* bytes : {"Gr\xFC\xDF" "e", "5 \xE2\x82\xAC", "plain"})
      QCOMPARE(FromUser(ToDisplay(bytes)), std::string(bytes));
  }

  void TranslatesDialogFilters() {
    QCOMPARE(NameFilters("MIDI files (*.mid)|*.mid|All files (*.*)|*.*"),
             (QStringList{QStringLiteral("MIDI files (*.mid)"), QStringLiteral("All files (*.*)")}));
    QCOMPARE(NameFilters("Songs|*.mid;*.midi|Everything|*"),
             (QStringList{QStringLiteral("Songs (*.mid *.midi)"), QStringLiteral("Everything (*)")}));
    QCOMPARE(NameFilters("Lonely description"), QStringList());
    QCOMPARE(NameFilters(""), QStringList());
  }
};

}  // namespace

int RunQtTextTest(int argc, char** argv) {
  QtTextTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "qt_text_test.moc"
