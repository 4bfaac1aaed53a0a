// The real dialogs: Qt's file and folder choosers and message boxes, our
// colour dialog and about box, and the system clipboard.
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

#include <QPushButton>

#include "app/about_box.h"
#include "app/app_texts.h"
#include "app/language.h"
#include "app/colour_dialog.h"
#include "app/dialogs.h"
#include "app/fit_dialog.h"
#include "app/mnemonics.h"
#include "app/recolour_dialog.h"

namespace {

// "Bitmap (*.bmp)" with "*.bmp;*.png;*.jpg" becomes "Bitmap (*.bmp *.png *.jpg)":
// Qt reads the patterns from the parentheses at the end of the label.
QString QtFilter(const FileFilter& f) {
  QString label = f.label.trimmed();
  if (label.endsWith(QLatin1Char(')'))) {
    const int open = label.lastIndexOf(QLatin1Char('('));
    if (open > 0) label = label.left(open).trimmed();
  }
  QString patterns = f.patterns;
  patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
  return label + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QStringList QtFilters(const QList<FileFilter>& filters) {
  QStringList out;
  for (const FileFilter& f : filters) out << QtFilter(f);
  return out;
}

class RealDialogs : public Dialogs {
 public:
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override {
    return QFileDialog::getExistingDirectory(parent, title, start);
  }

  QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& startFile,
                         const QList<FileFilter>& filters, int selected) override {
    const QStringList list = QtFilters(filters);
    QString chosenFilter = list.value(selected);
    return QFileDialog::getOpenFileName(parent, title, startFile, list.join(QStringLiteral(";;")), &chosenFilter);
  }

  QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& startFolder,
                         const QList<FileFilter>& filters, int& filterIndex) override {
    const QStringList list = QtFilters(filters);
    QFileDialog dialog(parent, title, startFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // No question about overwriting, and no extension added behind our back.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilters(list);
    dialog.selectNameFilter(list.value(filterIndex));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    filterIndex = std::max(0, static_cast<int>(list.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().front();
  }

  void ShowMessage(QWidget* parent, const QString& title, const QString& body, const QString& details) override {
    ShowBox(QMessageBox::Warning, parent, title, body, details);
  }

  void ShowReport(QWidget* parent, const QString& title, const QString& body, const QString& details) override {
    ShowBox(QMessageBox::Information, parent, title, body, details);
  }

  static void ShowBox(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& body,
                      const QString& details) {
    QMessageBox box(icon, title, body, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) box.setDetailedText(details);
    box.exec();
  }

  UnsavedChoice AskSaveChanges(QWidget* parent, const QString& question, const LanguageTable& texts) override {
    QMessageBox box(QMessageBox::Question, TitleText().trimmed(), question, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    const std::array<QString, 3> captions = UnsavedChoiceCaptions(texts);
    QPushButton* save = box.addButton(captions[0], QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(captions[1], QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(captions[2], QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return UnsavedChoice::Save;
    if (box.clickedButton() == discard) return UnsavedChoice::Discard;
    return UnsavedChoice::Cancel;
  }

  bool AskRestore(QWidget* parent, const QString& question, const LanguageTable& texts) override {
    QMessageBox box(QMessageBox::Question, texts.Text("LANG_RESTORE_TITLE$"), question, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* restore = box.addButton(texts.Text("LANG_RESTORE$"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(texts.Text("LANG_DISCARD$"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(restore);  // closing the box loses nothing
    box.exec();
    return box.clickedButton() != discard;
  }

  bool AskProceed(QWidget* parent, const QString& question, const QString& details, const QString& proceed,
                  const LanguageTable& texts) override {
    QMessageBox box(QMessageBox::Warning, TitleText().trimmed(), question, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) box.setDetailedText(details);
    QPushButton* yes = box.addButton(proceed, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(texts.Text("LANG_CANCEL$"), QMessageBox::RejectRole);
    // Nothing is written unless the user says so: Enter and Escape cancel.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
  }

  Rgb24 EditColour(QWidget* parent, Rgb24 input, const LanguageTable& texts, const QString& name,
                   const std::function<void(Rgb24)>& preview) override {
    return RunColourDialog(parent, input, texts, QtColourPickerHost(), name, preview);
  }

  void ShowAbout(QWidget* parent, const LanguageTable& texts) override { RunAboutBox(parent, texts); }

  std::optional<FitMode> AskFit(QWidget* parent, const FitQuestion& question, const LanguageTable& texts) override {
    return RunFitDialog(parent, question, texts);
  }

  std::optional<RecolourChoice> Recolour(QWidget* parent, const LanguageTable& texts,
                                         const std::function<void(const RecolourChoice&)>& preview) override {
    return RunRecolourDialog(parent, texts, preview);
  }

  void CopyToClipboard(const QImage& image) override { QApplication::clipboard()->setImage(image); }
};

}  // namespace

Dialogs& QtDialogs() {
  static RealDialogs dialogs;
  return dialogs;
}
