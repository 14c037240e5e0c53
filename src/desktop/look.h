#pragma once
// How the model's values look on the screen: twips to pixels, colours,
// fonts, and the keyboard's and mouse's states in the model's terms.

#include <QColor>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QRect>

#include "platform/control.h"
#include "platform/user.h"

namespace zuvo::desktop {

// 15 twips to a pixel at 96 DPI, more pixels on a screen of a higher
// logical DPI.
class Scale {
 public:
  explicit Scale(double logicalDpi = 96) : pixelsPerTwip_(logicalDpi / 96.0 / 15.0) {}
  int px(float twips) const;
  float twips(double pixels) const { return static_cast<float>(pixels / pixelsPerTwip_); }
  QRect rect(float left, float top, float width, float height) const;
  QRect rect(const Control& c) const { return rect(c.Left, c.Top, c.Width, c.Height); }
  // A border width the model gives in pixels at 96 DPI.
  int pen(int width) const;
  bool operator==(const Scale&) const = default;

 private:
  double pixelsPerTwip_;
};

// System colours through the palette; any other value is BGR
// (R + G*256 + B*65536).
QColor qcolour(Colour c, const QPalette& palette);

// Maps the fonts the model names (宋体 and its kin) to installed families
// that cover Chinese, led by the program's Latin face where it was written
// for the first of them, once, before any widget is made.
void installFontSubstitutes();
QFont qfont(TextView name, float points, bool bold);
inline QFont qfont(const Control& c) { return qfont(c.FontName, c.FontSize, c.FontBold); }

QString toQString(TextView t);
Text fromQString(const QString& s);
// Text from the keyboard or the input method as the system writes it: ñ and
// Ñ become ň.
Text keyboardText(const QString& s);
// Clipboard text with its line breaks as CR LF.
Text clipboardText(const QString& s);

// Shift state of a key or mouse event (1 Shift, 2 Ctrl, 4 Alt).
int modelShift(Qt::KeyboardModifiers m);
// Button code of a mouse button or of the buttons held down (1, 2, 4).
int modelButtons(Qt::MouseButtons b);
// A mouse event at a point of the control's widget.
User::Mouse modelMouse(const QMouseEvent& e, QPoint inControl, Qt::MouseButtons buttons, const Scale& s);
// The model's key code of a key that types no text (Backspace, Return,
// Escape, the arrows, Home, End, Page Up and Down, Insert, Delete, F1 to
// F12), or 0.
int modelKeyCode(int qtKey);
// The model's key code of a modifier key (Shift, Ctrl, Alt), 0 for any other,
// and the shift state left once it is let go.
int modelModifierKey(int qtKey);
int shiftAfterRelease(int modifierKey, Qt::KeyboardModifiers m);
inline constexpr int kKeyPageUp = 33;
inline constexpr int kKeyPageDown = 34;

}  // namespace zuvo::desktop
