#include "Unit2.h"

TForm2::TForm2(QWidget* parent) : QWidget(parent) { setWindowTitle("Brennick"); }
