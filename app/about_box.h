// The about box: banner, program texts, a web link and an OK button.
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class LanguageTable;

// Opens a web address; the default hands it to the system browser.
using UrlOpener = std::function<void(const QUrl&)>;
UrlOpener SystemUrlOpener();

// The text of the text area: the four blocks and the title line, joined with
// the line feeds that separate them.
QString AboutBoxText();

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  AboutBox(QWidget* owner, const LanguageTable& texts, UrlOpener open = SystemUrlOpener());

  // Centres the window over `owner`, both measured with their frames.
  void CentreOver(const QWidget* owner);

  // No close box: only the OK button closes the window.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  UrlOpener open_;
  bool closing_ = false;
  QLabel* banner_;
  QPlainTextEdit* text_;
  QLabel* link_;
  QPushButton* ok_;
};

// Modal: the owner is disabled while the box is open.
void RunAboutBox(QWidget* owner, const LanguageTable& texts, UrlOpener open = SystemUrlOpener());
