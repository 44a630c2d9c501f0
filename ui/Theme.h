// The window's colours: the theme the user chose under View > Theme (the
// system's own, or a light or dark one on the Fusion style), and the few
// colours of marks and notes, always made from the palette in use so that
// dark text stays on light ground and light text on dark.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

namespace brennick::theme {

enum class Theme { System, Light, Dark };

// The settings key the choice is kept under, and its values ("system",
// "light", "dark"); anything else reads as System.
inline const QString kThemeKey = QStringLiteral("view/theme");
QString ThemeName(Theme theme);
Theme ThemeFromName(const QString& name);

// The palettes of the light and dark themes.
QPalette LightPalette();
QPalette DarkPalette();

// Puts the theme on the whole application: Light and Dark take the Fusion
// style with their palette; System gives back the style and palette the
// program started with. Choosing System before anything else changes
// nothing.
void Apply(Theme theme);
// The theme applied last (System until another is).
Theme Current();

// Whether the palette's text is light on dark ground.
bool IsDark(const QPalette& palette);
// `a` blended into `b`: 0 gives `b`, 1 gives `a`.
QColor Blend(const QColor& a, const QColor& b, double amount);

// --- Colours from a palette, for marks and notes. ---
// A row or cell marked in `hue`: the hue laid faintly over the palette's
// base, so that its text colour reads as well on it as on the base.
QColor Tint(const QPalette& palette, const QColor& hue);
// Text that has lost its currency (a statblock older than the form): half
// way from the text colour to the base, still readable.
QColor DimmedText(const QPalette& palette);
// A note shown over the pane: its ground and its text.
QColor NoteBackground(const QPalette& palette);
QColor NoteText(const QPalette& palette);
// Text that tells of a failure (a design file that could not be read): a
// red that stands out on the palette's base.
QColor AlarmText(const QPalette& palette);

// The contrast of two colours, from 1 (none) to 21 (black on white), as
// readability guides measure it.
double Contrast(const QColor& a, const QColor& b);

}  // namespace brennick::theme
