// The keys of the entry and editing boxes: Ctrl and a letter types a Spanish
// letter, a box holding one blank alone is emptied, and in the synonym box
// every "?" becomes "ň", the system's way of writing ñ.

#include <utility>

#include "app/FrmLexaro.h"

namespace zuvo {

// The letter of Ctrl (alone) and A, I, O, E, U, N or P; 0 for any other key.
char16_t FrmLexaro::accentLetter(int keyCode, int shift) {
  if (shift != kCtrlMask) return 0;
  switch (keyCode) {
    case 'A': return u'á';
    case 'I': return u'í';
    case 'O': return u'ó';
    case 'E': return u'é';
    case 'U': return u'ú';
    case 'N': return u'ň';
    case 'P': return u'ü';
    default: return 0;
  }
}

// AccentKeys: on the release of an accent key its letter replaces the box's
// selection. Ctrl+I has typed a TAB into a multi-line box; the TAB goes
// first. Returns whether a letter went in.
bool FrmLexaro::accentKeys(TextBox& box, int keyCode, int shift) {
  const bool tabTyped = std::exchange(tabTypedIn_, nullptr) == &box;
  const char16_t letter = accentLetter(keyCode, shift);
  if (!letter) return false;
  if (keyCode == 'I' && box.MultiLine && tabTyped) removeTypedTab(box);
  box.setSelText(Text(1, letter));
  return true;
}

// The KeyPress of the multi-line boxes: a TAB character is about to go in.
void FrmLexaro::noteTypedTab(TextBox& box, int keyAscii) {
  tabTypedIn_ = keyAscii == kKeyTab && box.MultiLine && !box.Locked ? &box : nullptr;
}

// Only the TAB the key typed goes; the character before the caret is the
// user's in every other case and stays.
void FrmLexaro::removeTypedTab(TextBox& box) {
  const int64_t caret = box.SelStart();
  if (caret == 0 || box.text()[caret - 1] != u'\t') return;
  box.setSelStart(caret - 1);
  box.setSelLength(1);
  box.setSelText(u"");
}

// The lone-blank rule; `twoBlanks` also takes a text of two blanks. The
// emptied box takes the focus where it is asked to and is visible.
bool FrmLexaro::clearLoneBlank(TextBox& box, bool takesFocus, bool twoBlanks) {
  if (box.text() != u" " && !(twoBlanks && box.text() == u"  ")) return false;
  box.setText(u"");
  if (takesFocus) box.SetFocus();
  return true;
}

void FrmLexaro::Text26_KeyUp(int& keyCode, int shift) { accentKeys(Text26, keyCode, shift); }
void FrmLexaro::Text27_KeyUp(int& keyCode, int shift) { accentKeys(Text27, keyCode, shift); }
void FrmLexaro::Text39_KeyUp(int& keyCode, int shift) { accentKeys(Text39, keyCode, shift); }
void FrmLexaro::Text41_KeyUp(int& keyCode, int shift) { accentKeys(Text41, keyCode, shift); }
void FrmLexaro::Text42_KeyUp(int& keyCode, int shift) { accentKeys(Text42, keyCode, shift); }
void FrmLexaro::Text45_KeyUp(int& keyCode, int shift) { accentKeys(Text45, keyCode, shift); }
void FrmLexaro::Text119_KeyUp(int& keyCode, int shift) { accentKeys(Text119, keyCode, shift); }

// The examples box is cleared of one or two blanks on every key release.
void FrmLexaro::Text116_KeyUp(int& keyCode, int shift) {
  clearLoneBlank(Text116, false, true);
  accentKeys(Text116, keyCode, shift);
}

// ClearLoneBlank
void FrmLexaro::Text42_Change() { clearLoneBlank(Text42, true); }

void FrmLexaro::Text119_Change() { clearLoneBlank(Text119, true); }

// CleanSynonymBox
void FrmLexaro::Text114_Change() {
  if (clearLoneBlank(Text114, false)) return;
  restoreEnye(Text114);
}

}  // namespace zuvo
