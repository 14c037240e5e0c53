#include "desktop/look.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>
#include <filesystem>
#include <string>

#include "store/seed.h"

namespace zuvo::desktop {

int Scale::px(float twips) const { return static_cast<int>(std::lround(twips * pixelsPerTwip_)); }

QRect Scale::rect(float left, float top, float width, float height) const {
  return QRect(px(left), px(top), std::max(0, px(width)), std::max(0, px(height)));
}

int Scale::pen(int width) const {
  return std::max(1, static_cast<int>(std::lround(width * pixelsPerTwip_ * 15.0)));
}

QColor qcolour(Colour c, const QPalette& p) {
  if (!(c & 0x80000000u)) return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  switch (c & 0xFF) {
    case 0x00: return p.color(QPalette::Mid);               // scroll bars
    case 0x02: case 0x0D: return p.color(QPalette::Highlight);  // active caption, highlight
    case 0x03: case 0x0C: return p.color(QPalette::Dark);   // inactive caption, workspace
    case 0x05: return p.color(QPalette::Base);              // window background
    case 0x07: case 0x08: return p.color(QPalette::Text);   // menu and window text
    case 0x09: case 0x0E: return p.color(QPalette::HighlightedText);
    case 0x10: return p.color(QPalette::Dark);              // button shadow
    case 0x11: return p.color(QPalette::Disabled, QPalette::Text);
    case 0x12: return p.color(QPalette::ButtonText);
    case 0x14: return p.color(QPalette::Light);
    case 0x15: return p.color(QPalette::Shadow);
    case 0x16: return p.color(QPalette::Midlight);
    case 0x17: return p.color(QPalette::ToolTipText);
    case 0x18: return p.color(QPalette::ToolTipBase);
    default: return p.color(QPalette::Button);              // button face and the rest
  }
}

namespace {

// The Latin face the build writes from the Song face below: a text face
// whose "l" (a bare stem), "1" (a flag and a foot) and "I" (bars at both
// ends) read apart at every size, on the Song face's line.
constexpr const char* kLatinFace = "Zuvo Latin";
constexpr const char* kLatinFaceSong = "AR PL UMing CN";

// An installed program finds the face beside its rows; one run from its
// build tree, where the build wrote it.
std::filesystem::path latinFaceDir() {
  std::error_code ec;
  const auto installed = shippedDataDir() / "fonts";
  return std::filesystem::is_directory(installed, ec) ? installed : std::filesystem::path(ZUVO_FONT_DIR);
}

bool loadLatinFace() {
  bool loaded = false;
  for (const char* style : {"Regular", "Bold"}) {
    const auto file = latinFaceDir() / (std::string("ZuvoLatin-") + style + ".ttf");
    if (QFontDatabase::addApplicationFont(QString::fromStdString(file.string())) >= 0) loaded = true;
  }
  if (!loaded) qWarning("the Latin face was not found; Latin letters are drawn in the Song face");
  return loaded;
}

}  // namespace

void installFontSubstitutes() {
  static bool done = false;
  if (done) return;
  done = true;
  // Song faces first, those whose line is one em high as 宋体's is (the
  // boxes were sized for it), then the taller Song faces, then whatever
  // covers Chinese.
  const QStringList candidates = {"SimSun", "NSimSun", kLatinFaceSong, "AR PL SungtiL GB",
                                  "Noto Serif CJK SC", "Source Han Serif SC", "WenQuanYi Zen Hei",
                                  "Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei",
                                  "Droid Sans Fallback"};
  QStringList installed;
  for (const QString& f : candidates)
    if (QFontDatabase::hasFamily(f)) installed << f;
  if (installed.isEmpty()) {
    for (const QString& f : QFontDatabase::families(QFontDatabase::SimplifiedChinese))
      installed << f;
  }
  // What the Latin face holds (Latin letters, digits, Western punctuation)
  // is drawn in it, on the line of the Song face it was written from; every
  // other character falls back to the Song face.
  if (!installed.isEmpty() && installed.front() == kLatinFaceSong && loadLatinFace()) installed.prepend(kLatinFace);
  for (const char* name : {"宋体", "新宋体", "黑体", "楷体", "楷体_GB2312", "仿宋", "仿宋_GB2312", "微软雅黑",
                           "SimSun", "NSimSun", "SimHei"}) {
    const QString family = QString::fromUtf8(name);
    if (!QFontDatabase::hasFamily(family)) QFont::insertSubstitutions(family, installed);
  }
}

QFont qfont(TextView name, float points, bool bold) {
  QFont f(toQString(name));
  f.setPointSizeF(points > 0 ? points : 12);
  f.setBold(bold);
  return f;
}

QString toQString(TextView t) { return QString::fromUtf16(t.data(), static_cast<qsizetype>(t.size())); }

Text fromQString(const QString& s) {
  return Text(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

Text keyboardText(const QString& s) { return typedText(fromQString(s)); }

Text clipboardText(const QString& s) {
  QString t = s;
  t.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
  return keyboardText(t);
}

int modelShift(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? kShiftMask : 0) | (m & Qt::ControlModifier ? kCtrlMask : 0) |
         (m & Qt::AltModifier ? kAltMask : 0);
}

int modelButtons(Qt::MouseButtons b) {
  return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

User::Mouse modelMouse(const QMouseEvent& e, QPoint inControl, Qt::MouseButtons buttons, const Scale& s) {
  return {modelButtons(buttons), modelShift(e.modifiers()), s.twips(inControl.x()), s.twips(inControl.y())};
}

int modelModifierKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Shift: return kKeyShift;
    case Qt::Key_Control: return kKeyControl;
    case Qt::Key_Alt: return kKeyAlt;
    default: return 0;
  }
}

int shiftAfterRelease(int modifierKey, Qt::KeyboardModifiers m) {
  const int released = modifierKey == kKeyShift ? kShiftMask : modifierKey == kKeyControl ? kCtrlMask : kAltMask;
  return modelShift(m) & ~released;
}

int modelKeyCode(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace: return kKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyReturn;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return kKeyPageUp;
    case Qt::Key_PageDown: return kKeyPageDown;
    case Qt::Key_End: return kKeyEnd;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Insert: return kKeyInsert;
    case Qt::Key_Delete: return kKeyDelete;
    default: return 0;
  }
}

}  // namespace zuvo::desktop
