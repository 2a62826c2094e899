#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "shell/frm_about.h"
#include "shell_tests.h"

namespace quavert::testing {
namespace {

// Stands in for the desktop's mail and web programs.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> Opened;

 public slots:
  void Open(const QUrl& url) { Opened << url; }
};

bool Underlined(const QLabel* label) { return label->font().underline(); }

class AboutBoxTest : public QObject {
  Q_OBJECT

  std::unique_ptr<frmAbout> box;
  UrlRecorder desktop;

 private slots:
  void init() {
    box = std::make_unique<frmAbout>();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    for (const char* scheme : {"mailto", "https"})
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &desktop, "Open");
    desktop.Opened.clear();
  }
  void cleanup() {
    for (const char* scheme : {"mailto", "https"}) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    box.reset();
  }

  void ShowsNameVersionAndLinks() {
    QCOMPARE(box->windowTitle(), QStringLiteral("About Quavert"));
    QVERIFY(box->isModal());
    QCOMPARE(box->Label8->text(), QStringLiteral("Quavert"));
    QCOMPARE(box->Label8->font().pointSize(), 24);
    QCOMPARE(box->Label3->text(), QStringLiteral("0.15 Beta"));
    QVERIFY(!box->Label1->text().isEmpty());
    QCOMPARE(box->Label6->text(), QStringLiteral("Email:"));
    QCOMPARE(box->Label2->text(), QStringLiteral("Website:"));
    QCOMPARE(box->Label10->text(), QStringLiteral("quavert@example.org"));
    QCOMPARE(box->Label9->text(), QStringLiteral("quavert.example.org"));
    for (const QLabel* link : {box->Label10, box->Label9}) {
      QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 192));
      QVERIFY(!Underlined(link));
    }
    QCOMPARE(box->Picture1->pixmap().size(), QSize(16, 16));
    QCOMPARE(box->cmdOK->text(), QStringLiteral("OK"));
  }

  void UnderlineFollowsTheMouse() {
    QTest::mouseMove(box->Label10);
    QVERIFY(Underlined(box->Label10));
    QVERIFY(!Underlined(box->Label9));

    QTest::mouseMove(box->Label9);
    QVERIFY(!Underlined(box->Label10));
    QVERIFY(Underlined(box->Label9));

    QTest::mouseMove(box->Frame1, QPoint(2, 2));
    QVERIFY(!Underlined(box->Label10));
    QVERIFY(!Underlined(box->Label9));

    QTest::mouseMove(box->Label10);
    QTest::mouseMove(box.get(), QPoint(1, 1));
    QVERIFY(!Underlined(box->Label10));
  }

  void LinksOpenInTheDesktopAndTheBoxStays() {
    QTest::mouseMove(box->Label10);
    QTest::mouseClick(box->Label10, Qt::LeftButton);
    QCOMPARE(desktop.Opened, QList<QUrl>{QUrl(QStringLiteral("mailto:quavert@example.org"))});
    QVERIFY(!Underlined(box->Label10));
    QVERIFY(box->isVisible());

    QTest::mouseMove(box->Label9);
    QTest::mouseClick(box->Label9, Qt::LeftButton);
    QCOMPARE(desktop.Opened.size(), 2);
    QCOMPARE(desktop.Opened[1], QUrl(QStringLiteral("https://quavert.example.org/quavert.html")));
    QCOMPARE(desktop.Opened[1].host(), QStringLiteral("quavert.example.org"));
    QVERIFY(!Underlined(box->Label9));
    QVERIFY(box->isVisible());

    // Other buttons do not follow links.
    QTest::mouseClick(box->Label9, Qt::RightButton);
    QCOMPARE(desktop.Opened.size(), 2);
  }

  void OkClosesTheBox() {
    QTest::mouseClick(box->cmdOK, Qt::LeftButton);
    QVERIFY(!box->isVisible());
    QCOMPARE(box->result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(desktop.Opened.isEmpty());
  }
};

}  // namespace

int RunAboutBoxTest(int argc, char** argv) {
  AboutBoxTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace quavert::testing

#include "about_box_test.moc"
