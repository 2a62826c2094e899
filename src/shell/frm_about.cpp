#include "shell/frm_about.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/icons.h"

namespace quavert {
namespace {

const QColor kLinkColour(0, 0, 192);

// The title's decorative face, the first one installed; the default face when none is.
QFont TitleFont() {
  QFont font;
  const QStringList installed = QFontDatabase::families();
  for (const char* family : {"Comic Sans MS", "Comic Neue", "Z003", "URW Chancery L"}) {
    if (installed.contains(QString::fromLatin1(family))) {
      font.setFamily(QString::fromLatin1(family));
      break;
    }
  }
  font.setPointSize(24);
  return font;
}

QLabel* LinkLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kLinkColour);
  label->setPalette(palette);
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quavert"));
  setModal(true);

  Frame1 = new QFrame(this);
  Frame1->setFrameShape(QFrame::StyledPanel);
  Picture1 = new QLabel(Frame1);
  Picture1->setPixmap(DrawIcon(IconShape::kQuaver));
  Picture1->setFixedSize(16, 16);
  Label8 = new QLabel(QStringLiteral("Quavert"), Frame1);
  Label8->setFont(TitleFont());
  Label3 = new QLabel(QStringLiteral("0.15 Beta"), Frame1);
  Label1 = new QLabel(QStringLiteral("An editor for the bytes of Standard MIDI Files."), Frame1);
  Label6 = new QLabel(QStringLiteral("Email:"), Frame1);
  Label10 = LinkLabel(QString::fromLatin1(kMailAddress), Frame1);
  Label2 = new QLabel(QStringLiteral("Website:"), Frame1);
  Label9 = LinkLabel(QString::fromLatin1(kSiteAddress), Frame1);
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setDefault(true);

  auto* title = new QHBoxLayout;
  title->addWidget(Picture1, 0, Qt::AlignVCenter);
  title->addWidget(Label8);
  title->addWidget(Label3, 0, Qt::AlignBottom);
  title->addStretch();
  auto* links = new QGridLayout;
  links->addWidget(Label6, 0, 0);
  links->addWidget(Label10, 0, 1);
  links->addWidget(Label2, 1, 0);
  links->addWidget(Label9, 1, 1);
  links->setColumnStretch(2, 1);
  auto* frame_layout = new QVBoxLayout(Frame1);
  frame_layout->addLayout(title);
  frame_layout->addWidget(Label1);
  frame_layout->addLayout(links);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addWidget(cmdOK, 0, Qt::AlignRight);

  // Every widget of the box reports mouse movement, so the underline follows the mouse.
  for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Label10),
                          static_cast<QWidget*>(Label9)}) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
  }
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void frmAbout::Underline(bool mail, bool web) {
  for (auto [label, on] : {std::pair{Label10, mail}, std::pair{Label9, web}}) {
    QFont font = label->font();
    if (font.underline() == on) continue;
    font.setUnderline(on);
    label->setFont(font);
  }
}

void frmAbout::Label10Click() {
  QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress)));
  Underline(false, Label9->font().underline());
}

void frmAbout::Label9Click() {
  QDesktopServices::openUrl(QUrl(QString::fromLatin1(kSitePage)));
  Underline(Label10->font().underline(), false);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
  const bool on_link = watched == Label10 || watched == Label9;
  if (event->type() == QEvent::MouseMove) {
    if (watched == Label10) Underline(true, false);
    else if (watched == Label9) Underline(false, true);
    else if (watched == this || watched == Frame1) Underline(false, false);
    // A label does not take mouse movement, which would then reach the frame and undo the underline.
    return on_link;
  }
  if (on_link && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == Label10) Label10Click();
    else Label9Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quavert
