#include "ui/Theme.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <cmath>
#include <optional>

namespace brennick::theme {
namespace {

// What the program started with, kept the first time a theme is applied.
struct Original {
  QString style;
  QPalette palette;
};
std::optional<Original> original;
Theme current = Theme::System;

double Linear(double channel) {
  return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
  return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

}  // namespace

QString ThemeName(Theme theme) {
  switch (theme) {
    case Theme::Light:
      return QStringLiteral("light");
    case Theme::Dark:
      return QStringLiteral("dark");
    case Theme::System:
      break;
  }
  return QStringLiteral("system");
}

Theme ThemeFromName(const QString& name) {
  if (name == QLatin1String("light")) return Theme::Light;
  if (name == QLatin1String("dark")) return Theme::Dark;
  return Theme::System;
}

QPalette LightPalette() {
  QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
  QPalette palette = fusion != nullptr ? fusion->standardPalette() : QPalette(Qt::white);
  delete fusion;
  return palette;
}

QPalette DarkPalette() {
  const QColor window(53, 53, 53);
  const QColor base(35, 35, 35);
  const QColor text(230, 230, 230);
  const QColor disabled(127, 127, 127);
  const QColor highlight(42, 130, 218);
  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
  p.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, QColor(255, 90, 90));
  p.setColor(QPalette::Light, QColor(80, 80, 80));
  p.setColor(QPalette::Midlight, QColor(66, 66, 66));
  p.setColor(QPalette::Mid, QColor(44, 44, 44));
  p.setColor(QPalette::Dark, QColor(25, 25, 25));
  p.setColor(QPalette::Shadow, QColor(10, 10, 10));
  p.setColor(QPalette::Link, QColor(110, 170, 240));
  p.setColor(QPalette::LinkVisited, QColor(170, 140, 230));
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::white);
  for (const QPalette::ColorRole role :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText}) {
    p.setColor(QPalette::Disabled, role, disabled);
  }
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
  return p;
}

void Apply(Theme theme) {
  if (!original) {
    if (theme == Theme::System) return;  // nothing changed yet
    original = Original{QApplication::style()->name(), QApplication::palette()};
  }
  switch (theme) {
    case Theme::Light:
    case Theme::Dark:
      QApplication::setStyle(QStringLiteral("Fusion"));
      QApplication::setPalette(theme == Theme::Dark ? DarkPalette() : LightPalette());
      break;
    case Theme::System:
      QApplication::setStyle(original->style);
      QApplication::setPalette(original->palette);
      break;
  }
  current = theme;
}

Theme Current() {
  return current;
}

bool IsDark(const QPalette& palette) {
  return Luminance(palette.color(QPalette::Base)) < Luminance(palette.color(QPalette::Text));
}

QColor Blend(const QColor& a, const QColor& b, double amount) {
  const auto mix = [amount](float x, float y) {
    return static_cast<float>(amount * x + (1.0 - amount) * y);
  };
  return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()),
                          mix(a.blueF(), b.blueF()));
}

QColor Tint(const QPalette& palette, const QColor& hue) {
  // Faint on a light ground; on a dark one the hue is darkened first, so
  // that the light text keeps its contrast.
  const QColor base = palette.color(QPalette::Base);
  if (IsDark(palette)) return Blend(hue.darker(250), base, 0.6);
  return Blend(hue, base, 0.4);
}

QColor DimmedText(const QPalette& palette) {
  return Blend(palette.color(QPalette::Text), palette.color(QPalette::Base), 0.6);
}

QColor NoteBackground(const QPalette& palette) {
  return Tint(palette, QColor(255, 214, 102));
}

QColor NoteText(const QPalette& palette) {
  return palette.color(QPalette::Text);
}

QColor AlarmText(const QPalette& palette) {
  return IsDark(palette) ? QColor(255, 120, 120) : QColor(Qt::darkRed);
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace brennick::theme
