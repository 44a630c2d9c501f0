// The toolkit's boxes and dialogs behind the windows' questions. Every text
// that may quote what the user typed or a file's name is shown as plain
// text, never read as markup.
#include "ui/DialogServices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "ui/FileSupport.h"

void TStandardDialogs::ShowError(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Critical, parent ? parent->windowTitle() : tr("Brennick"), message,
                  QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void TStandardDialogs::ShowFailure(QWidget* parent, const QString& title, const QString& message) {
  QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void TStandardDialogs::ShowMessage(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

TDialogServices::UnsavedAnswer TStandardDialogs::AskUnsaved(QWidget* parent, const QString& name) {
  QMessageBox box(QMessageBox::Warning, tr("Brennick"), tr("Save the changes to %1?").arg(name),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box.setTextFormat(Qt::PlainText);
  box.setInformativeText(tr("Your changes are lost if you don't save them."));
  box.setDefaultButton(QMessageBox::Save);
  const int button = box.exec();
  return button == QMessageBox::Save      ? UnsavedAnswer::Save
         : button == QMessageBox::Discard ? UnsavedAnswer::Discard
                                          : UnsavedAnswer::Cancel;
}

bool TStandardDialogs::AskStaleStatblock(QWidget* parent, const QString& command) {
  QMessageBox box(QMessageBox::Warning, command,
                  tr("The form has changed since this statblock was made."), QMessageBox::Cancel,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.setInformativeText(
      tr("Go ahead with the statblock shown, or cancel and press Design to update it first."));
  QPushButton* ahead = box.addButton(tr("Use the Shown Statblock"), QMessageBox::AcceptRole);
  box.setDefaultButton(QMessageBox::Cancel);
  box.exec();
  return box.clickedButton() == ahead;
}

bool TStandardDialogs::AskReplace(QWidget* parent, const QString& path) {
  QMessageBox box(QMessageBox::Warning, tr("Brennick"),
                  tr("\"%1\" already exists. Replace it?")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).fileName())),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);
  box.setInformativeText(tr("Replacing it overwrites what it holds."));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

TDialogServices::ChosenFile TStandardDialogs::ChooseFile(QWidget* parent, FileDialog dialog,
                                                         const QString& caption,
                                                         const QString& path,
                                                         const QString& filter) {
  if (dialog == FileDialog::Open) {
    return QFileDialog::getOpenFileName(parent, caption, path, filter);
  }
  return brennick::files_ui::RunSaveDialog(parent, caption, path, filter);
}

QString TStandardDialogs::ChooseFolder(QWidget* parent, const QString& caption,
                                       const QString& path) {
  return QFileDialog::getExistingDirectory(parent, caption, path);
}

bool TStandardDialogs::SetUpPrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}
