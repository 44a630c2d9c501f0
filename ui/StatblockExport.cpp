// Getting the statblock out (copies, exports, print and PDF) and opening
// the armoury.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QSettings>
#include <QTextBlock>
#include <QTextDocument>
#include <filesystem>

#include "files/design_file.h"
#include "files/file_io.h"
#include "form/statblock_text.h"
#include "ui/Armoury.h"
#include "ui/Catalogue.h"
#include "ui/FileSupport.h"
#include "ui/Unit1.h"

using namespace brennick::files_ui;

QByteArray brennick::files_ui::PdfOf(const std::function<bool(QPdfWriter&)>& paint) {
  QByteArray pdf;
  bool painted = false;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setCreator(printer.creator());
    painted = paint(writer);
  }
  if (!painted || !pdf.startsWith("%PDF")) return {};
  return pdf;
}

// ---------------------------------------------------------------------------
// The statblock's ways out

QString TForm1::StatblockText() const {
  // Line by line from the document, as every copy and export takes it: the
  // pane's own plain text would turn no-break spaces into spaces.
  QStringList lines;
  const QTextDocument* document = StatblockMemo->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    lines << block.text();
  }
  return lines.join(QLatin1Char('\n'));
}

void TForm1::CopyAsMarkdown() {
  if (!ConfirmShownStatblock(tr("Copy as Markdown"))) return;
  QApplication::clipboard()->setText(
      FromUtf8(brennick::StatblockMarkdown(LinesOf(StatblockText()))));
}

bool TForm1::HasStatblock() {
  if (!StatblockText().isEmpty()) return true;
  ReportError(tr("There is no statblock yet: press Design first."));
  return false;
}

void TForm1::ExportStatblock() {
  if (!HasStatblock() || !ConfirmShownStatblock(tr("Export Statblock"))) return;
  // The extension of the filter chosen decides the format of a name typed
  // without one.
  const QString path =
      ChooseSaveFile(tr("Export Statblock"),
                     SuggestedPath(kExportFolderKey, tr("statblock"), QStringLiteral("txt")),
                     tr("Plain text (*.txt);;Markdown (*.md)"));
  if (!path.isEmpty()) ExportStatblockTo(path);
}

bool TForm1::ExportStatblockTo(const QString& path) {
  const std::vector<std::string> lines = LinesOf(StatblockText());
  const bool markdown =
      QFileInfo(path).suffix().compare(QStringLiteral("md"), Qt::CaseInsensitive) == 0;
  const std::string text =
      markdown ? brennick::StatblockMarkdown(lines) : brennick::StatblockPlainText(lines) + "\n";
  try {
    brennick::WriteFileAtomically(PathOf(path), text);
  } catch (const std::exception& e) {
    ReportError(FromUtf8(brennick::CannotSave(PathOf(path), e.what())));
    return false;
  }
  Settings().setValue(kExportFolderKey, QFileInfo(path).absolutePath());
  return true;
}

// The page: the statblock laid out as each statblock of a catalogue is.
QString TForm1::LayOutPage(QTextDocument& page) const {
  const std::vector<std::string> lines = LinesOf(StatblockText());
  brennick::catalogue::LayOutStatblock(page, lines);
  return lines.empty() ? tr("Brennick") : FromUtf8(lines.front());
}

void TForm1::PrintTo(QPrinter& printer) {
  QTextDocument page;
  printer.setDocName(LayOutPage(page));
  page.print(&printer);
}

void TForm1::PrintStatblock() {
  if (!HasStatblock() || !ConfirmShownStatblock(tr("Print"))) return;
  QPrinter printer(QPrinter::HighResolution);
  // The print dialog names a file printed to after the document: the
  // weapon's name, made fit for a file name, with the PDF's extension (the
  // dialog takes a name's last extension off before adding its own).
  const QString name = QString::fromStdString(session_.form().NameEdit.text);
  printer.setDocName(SuggestedFileName(name, tr("statblock"), QStringLiteral("pdf")));
  if (!dialogs_->SetUpPrinter(this, printer)) return;
  PrintTo(printer);
}

void TForm1::ExportPdf() {
  if (!HasStatblock() || !ConfirmShownStatblock(tr("Export PDF"))) return;
  const QString path = ChooseSaveFile(
      tr("Export PDF"), SuggestedPath(kExportFolderKey, tr("statblock"), QStringLiteral("pdf")),
      tr("PDF (*.pdf)"));
  if (!path.isEmpty()) ExportPdfTo(path);
}

bool TForm1::ExportPdfTo(const QString& path) {
  // The page is rendered in memory, then written to the target as every
  // other file is: atomically, with the old file's permissions or the usual
  // ones. Nothing goes through the temporary folder, whose lack of room
  // would otherwise cut the PDF short unnoticed.
  const QByteArray pdf = PdfOf([this](QPdfWriter& writer) {
    QTextDocument page;
    writer.setTitle(LayOutPage(page));
    page.print(&writer);
    return true;
  });
  try {
    if (pdf.isEmpty()) {
      throw brennick::DesignError(tr("the PDF could not be made").toStdString());
    }
    brennick::WriteFileAtomically(
        PathOf(path), std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
  } catch (const std::exception& e) {
    ReportError(FromUtf8(brennick::CannotSave(PathOf(path), e.what())));
    return false;
  }
  Settings().setValue(kExportFolderKey, QFileInfo(path).absolutePath());
  return true;
}

// ---------------------------------------------------------------------------
// The armoury

namespace {

// The recent files as they were when an armoury was last opened: a list that
// differs now means a design was opened or saved since.
const QString kRecentAtArmouryKey = QStringLiteral("folders/recentAtArmoury");

}  // namespace

void TForm1::OpenArmoury() {
  // The dialog starts in the last folder of designs: the armoury last opened,
  // or the folder of a design opened or saved after it; another of the two
  // when that one is gone.
  const QSettings settings = Settings();
  const bool designSince = !settings.contains(kArmouryFolderKey) ||
                           settings.value(kRecentKey) != settings.value(kRecentAtArmouryKey);
  const QString first = designSince ? kDesignFolderKey : kArmouryFolderKey;
  const QString second = designSince ? kArmouryFolderKey : kDesignFolderKey;
  const QString start = settings.value(first).toString().isEmpty() ||
                                !QFileInfo(settings.value(first).toString()).isDir()
                            ? LastFolder(second)
                            : LastFolder(first);
  const QString folder = dialogs_->ChooseFolder(this, tr("Open Armoury"), start);
  if (!folder.isEmpty()) OpenArmouryFolder(folder);
}

bool TForm1::OpenArmouryFolder(const QString& folder) {
  if (armoury_ == nullptr) {
    // Its failures show over this window, where the armoury was opened.
    armoury_ = new TArmouryWindow(dialogs_, this);
    connect(armoury_, &TArmouryWindow::openDesign, this, [this](const std::filesystem::path& path) {
      if (OpenFile(path)) {
        raise();
        activateWindow();
      }
    });
  }
  if (!armoury_->OpenFolder(folder, DecimalSeparator())) return false;
  QSettings settings = Settings();
  settings.setValue(kArmouryFolderKey, QFileInfo(folder).absoluteFilePath());
  settings.setValue(kRecentAtArmouryKey, settings.value(kRecentKey));
  armoury_->show();
  armoury_->raise();
  return true;
}
