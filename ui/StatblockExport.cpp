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
#include "ui/FileSupport.h"
#include "ui/Unit1.h"

using namespace brennick::files_ui;

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

// The page: the title as a heading, then the statblock's sections (the
// figures, the notes and features, the ammunition block) as paragraphs.
QString TForm1::LayOutPage(QTextDocument& page) const {
  const std::vector<std::string> lines = LinesOf(StatblockText());
  QString html = QStringLiteral("<html><body>");
  if (!lines.empty()) {
    html +=
        QStringLiteral("<h2>") + FromUtf8(lines.front()).toHtmlEscaped() + QStringLiteral("</h2>");
  }
  QStringList paragraph;
  const auto flush = [&] {
    if (!paragraph.isEmpty()) html += QStringLiteral("<p>") + paragraph.join("<br>") + "</p>";
    paragraph.clear();
  };
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const QString line = FromUtf8(lines[i]);
    if (line.trimmed().isEmpty()) {
      flush();
    } else {
      paragraph << line.toHtmlEscaped();
    }
  }
  flush();
  html += QStringLiteral("</body></html>");
  // A typewriter face, as the statblock reads in the pane; it joins no
  // letters, so text taken from the page is the statblock's own.
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(10);
  page.setDefaultFont(font);
  page.setHtml(html);
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
  QByteArray pdf;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    // The page of a PDF printer, as Print to a file lays it out.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    writer.setResolution(printer.resolution());
    writer.setPageLayout(printer.pageLayout());
    writer.setCreator(printer.creator());
    QTextDocument page;
    writer.setTitle(LayOutPage(page));
    page.print(&writer);
  }
  try {
    if (!pdf.startsWith("%PDF")) {
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

void TForm1::OpenArmoury() {
  const QString folder =
      dialogs_->ChooseFolder(this, tr("Open Armoury"), LastFolder(kArmouryFolderKey));
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
  Settings().setValue(kArmouryFolderKey, QFileInfo(folder).absoluteFilePath());
  armoury_->show();
  armoury_->raise();
  return true;
}
