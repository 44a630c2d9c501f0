#include "ui/Unit2.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/Unit1.h"

TForm2::TForm2(TForm1& mainForm, QWidget* parent) : QWidget(parent), mainForm_(mainForm) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(tr("Brennick"));
  auto* title = new QLabel(tr("Beam Weapons"), this);
  title->setObjectName(QStringLiteral("Label1"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addStretch(1);
  setGeometry(77, 94, 1278, 636);
  FormCreate();
}

void TForm2::FormCreate() {
  mainForm_.SeedRandomSource();
}
