#include "shell/frm_about.h"
#include "shell/qt_text.h"
#include "shell/qt_toolkit.h"
#include "window_fixture.h"

namespace quavert::testing {
namespace {

// Stands in for the desktop's mail and web programs while it lives.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  UrlRecorder() {
    for (const char* scheme : {"mailto", "https"}) QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~UrlRecorder() override {
    for (const char* scheme : {"mailto", "https"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  QList<QUrl> Opened;

 public slots:
  void Open(const QUrl& url) { Opened << url; }
};

class ToolkitTest : public QObject {
  Q_OBJECT

 private slots:
  void TextBoxesGiveBackTheBytesTheProgramGaveThem() {
    WindowFixture f;
    Toolkit& ui = f.Start().toolkit();
    const std::string meta = "Text: caf\xC3\xA9\r\nTempo: 120\r\n";  // UTF-8 shown as such, kept as such
    ui.SetText(Control::Text2, meta);
    QCOMPARE(f.window->Text2->toPlainText(), QString::fromUtf8("Text: café\nTempo: 120\n"));
    ui.SetText(Control::Text2, ui.GetText(Control::Text2) + "Total Time: 0:01\r\n");  // as the decoder adds lines
    QCOMPARE(ui.GetText(Control::Text2), meta + "Total Time: 0:01\r\n");

    ui.SetBusy(true);
    ui.SetBusy(true);  // busy is a state, not a count: one "not busy" ends it
    ui.SetBusy(false);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void TextsCrossBetweenBytesAndTheScreen() {
    QCOMPARE(ToDisplay("/music/Gr\xC3\xBC\xC3\x9F" "e.mid"), QString::fromUtf8("/music/Grüße.mid"));
    QCOMPARE(ToDisplay("Gr\xFC\xDF" "e"), QString::fromUtf8("Grüße"));
    QCOMPARE(ToDisplay("caf\xC3"), QString::fromUtf8("cafÃ"));  // UTF-8 cut short is not UTF-8
    for (const char* bytes : {"Gr\xFC\xDF" "e", "5 \xE2\x82\xAC", "c#4"}) QCOMPARE(FromUser(ToDisplay(bytes)), std::string(bytes));
    QCOMPARE(NameFilters("MIDI files (*.mid)|*.mid|All files (*.*)|*.*"),
             (QStringList{QStringLiteral("MIDI files (*.mid)"), QStringLiteral("All files (*.*)")}));
    QCOMPARE(NameFilters("Songs|*.mid;*.midi|Lonely"), QStringList{QStringLiteral("Songs (*.mid *.midi)")});
  }

  void MessageTextIsNeverMarkupAndEscapeSaysNo() {
    QMessageBox box;
    SetUpMessageBox(box, "<b>A.MID</b> is not a MIDI file", Buttons::kOk, Icon::kNone, "");
    QCOMPARE(box.textFormat(), Qt::PlainText);
    QCOMPARE(box.escapeButton(), box.button(QMessageBox::Ok));
    SetUpMessageBox(box, "a.mid already exists, overwrite?", Buttons::kYesNo, Icon::kQuestion, "Confirmation");
    QCOMPARE(box.escapeButton(), box.button(QMessageBox::No));
  }

  void AboutBoxUnderlinesTheLinkUnderTheMouseAndOpensItOnAClick() {
    frmAbout box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    UrlRecorder desktop;
    QString underlined;  // after each step: is the mail link, is the web link underlined
    auto step = [&](QWidget* over, Qt::MouseButton click = Qt::NoButton) {
      QTest::mouseMove(over, QPoint(2, 2));
      if (click != Qt::NoButton) QTest::mouseClick(over, click);
      underlined += QString::number(box.Label10->font().underline()) + QString::number(box.Label9->font().underline()) + " ";
    };
    for (QWidget* over : std::initializer_list<QWidget*>{box.Label10, box.Label9, box.Frame1, box.Label10, &box}) step(over);
    step(box.Label10, Qt::LeftButton);
    step(box.Label9, Qt::RightButton);  // only the left button follows a link
    step(box.Label9, Qt::LeftButton);
    QCOMPARE(underlined, QStringLiteral("10 01 00 10 00 00 01 00 "));
    QCOMPARE(desktop.Opened, (QList<QUrl>{QUrl(QStringLiteral("mailto:quavert@example.org")),
                                          QUrl(QStringLiteral("https://quavert.example.org/quavert.html"))}));
    QVERIFY(box.isVisible());

    QTest::mouseClick(box.cmdOK, Qt::LeftButton);
    QVERIFY(!box.isVisible());
  }
};

}  // namespace

int RunToolkitTest(int argc, char** argv) {
  ToolkitTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "toolkit_test.moc"
