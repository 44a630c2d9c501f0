// The "Beam Weapons" sheet: created hidden at start-up and never shown. Its
// only effect is reseeding the generator's random source as it is created.
#pragma once

#include <QWidget>

class TForm1;

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm2(TForm1& mainForm, QWidget* parent = nullptr);

  void FormCreate();

 private:
  TForm1& mainForm_;
};
