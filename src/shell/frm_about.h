#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace quavert {

/// The About box: the program's name and version, a notice, and two links (mail and web site)
/// that underline while the mouse is over them and open in the desktop's own programs.
class frmAbout : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kMailAddress = "quavert@example.org";
  static constexpr const char* kSiteAddress = "quavert.example.org";
  static constexpr const char* kSitePage = "https://quavert.example.org/quavert.html";

  explicit frmAbout(QWidget* parent = nullptr);

  QFrame* Frame1 = nullptr;
  QLabel* Picture1 = nullptr;
  QLabel* Label8 = nullptr;   ///< "Quavert"
  QLabel* Label3 = nullptr;   ///< "0.15 Beta"
  QLabel* Label1 = nullptr;   ///< the notice
  QLabel* Label6 = nullptr;   ///< "Email:"
  QLabel* Label10 = nullptr;  ///< the mail link
  QLabel* Label2 = nullptr;   ///< "Website:"
  QLabel* Label9 = nullptr;   ///< the web link
  QPushButton* cmdOK = nullptr;

  void Label10Click();
  void Label9Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Underline(bool mail, bool web);
};

}  // namespace quavert
