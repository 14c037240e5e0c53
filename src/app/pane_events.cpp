// The mouse on the result panes: a click on a word of the lower pane looks
// it up, a selection in the upper pane, the word panes or the verb view's
// large boxes becomes the query, and in the word view the two panes open
// their editors over themselves.

#include "app/FrmLexaro.h"
#include "tools/usage_help.h"

namespace zuvo {

namespace {
constexpr Colour kSourceMarked = 0xFFC0FF;
// A sentence pane lower than this stands in the word view or the word add
// panel.
constexpr float kSmallLayoutHeight = 1250;
}  // namespace

bool FrmLexaro::smallLayoutFocus(const RichTextBox& pane) {
  if (!(pane.Height < kSmallLayoutHeight)) return false;
  if (Text102.Visible) {
    Text102.SetFocus();
    return true;
  }
  if (Text112.Visible) {
    Text112.SetFocus();
    return true;
  }
  return false;
}

void FrmLexaro::leaveBatchModeIfOn() {
  if (Command58.Visible) Command11_Click();  // ToggleBatchMode
}

void FrmLexaro::closeNumberAnswerFromPane() {
  Text33.Visible = false;
  twoPaneLayout();
  leaveBatchModeIfOn();
  RichTextBox16.setText(u"");
  RichTextBox16.SetFocus();
}

// --- the upper pane ----------------------------------------------------------------

void FrmLexaro::RichTextBox13_Click() {
  if (app().visible<Frm说明1>()) return;
  if (smallLayoutFocus(RichTextBox13)) return;
  if (Text2.text().empty()) {
    writeHowToAddText(true);
    RichTextBox16.SetFocus();
    return;
  }
  if (RichTextBox13.text() == Text1.text()) return;  // the pane shows HowToAddText
  if (Text33.Visible)
    closeNumberAnswerFromPane();
  else
    leaveBatchModeIfOn();
}

void FrmLexaro::RichTextBox13_MouseUp(int, int, float, float) {
  if (RichTextBox13.Height < kSmallLayoutHeight && Text102.Visible) {
    Text102.SetFocus();
    return;
  }
  RichTextBox16.setText(RichTextBox13.SelText());
}

// --- the lower pane ----------------------------------------------------------------

// LookUpWordAtCaret
void FrmLexaro::RichTextBox7_Click() {
  if (Text33.Visible) Text33.Visible = false;
  if (app().visible<Frm说明1>()) return;
  if (smallLayoutFocus(RichTextBox7)) return;
  if (Text2.text().empty()) {
    writeHowToAddText(true);
    RichTextBox16.SetFocus();
    return;
  }
  // The word at the caret: from just after the blank before it up to the
  // next blank.
  RichTextBox7.UpTo(u" ", false, false);
  RichTextBox7.Span(u" ", true, true);
  const Text word = RichTextBox7.SelText();
  // The selected-word lookup reads the code of the word's last character.
  if (Text100.text() == word)
    Text100_Change();
  else
    Text100.setText(word);
  if (Text71.text().empty()) Text71.setText(Text112.text());
  if (Text89.text().empty()) Text89.setText(Text92.text());
  Command33.setValue(true);  // LookUpSelectedWord
  RichTextBox16.setText(u" " + RichTextBox7.SelText());
  RichTextBox7.setSelStart(0);
  RichTextBox16.setSelStart(static_cast<int64_t>(Val(Text56.text())));
  if (Text33.Visible)
    closeNumberAnswerFromPane();
  else
    leaveBatchModeIfOn();
}

// --- both sentence panes -------------------------------------------------------------

namespace {
// The text from the caret to the end back to plain; the caret stays.
void plainFromCaret(RichTextBox& pane) {
  const int64_t at = pane.SelStart();
  pane.setSelLength(Len(pane.text()));
  pane.setSelColor(kWindowText);
  pane.setSelStart(at);
}
}  // namespace

void FrmLexaro::RichTextBox13_MouseDown(int, int, float, float) {
  if (smallLayoutFocus(RichTextBox13)) return;
  plainFromCaret(RichTextBox13);
}

void FrmLexaro::RichTextBox7_MouseDown(int, int, float, float) {
  if (smallLayoutFocus(RichTextBox7)) return;
  plainFromCaret(RichTextBox7);
}

void FrmLexaro::RichTextBox13_DblClick() {
  if (Text102.Visible)
    Text102.SetFocus();
  else
    RichTextBox16.SetFocus();
}

void FrmLexaro::RichTextBox7_DblClick() { RichTextBox13_DblClick(); }

// --- the word view's panes and their editors ---------------------------------------

void FrmLexaro::openWordEditor(TextBox& editor, float top, float left, float width, float height, bool takesCaret) {
  // Only the word view puts the lower pane at the right half.
  if (!(RichTextBox7.Left > 4970)) return;
  editor.Move(left, top, width, height);
  editor.ZOrder();
  if (takesCaret) editor.setSelStart(InputCaretMemory);
  editor.Visible = true;
  editor.SetFocus();
}

void FrmLexaro::RichTextBox14_GotFocus() { openWordEditor(Text39, 2410, 220.02f, 9470, 1430, false); }
void FrmLexaro::RichTextBox15_GotFocus() { openWordEditor(Text113, 1320, 5000, 4690, 1050, true); }

void FrmLexaro::RichTextBox14_LostFocus() { Text60.BackColor = kWindowBackground; }
void FrmLexaro::RichTextBox15_LostFocus() { Text61.BackColor = kWindowBackground; }

void FrmLexaro::closeOtherWordEditor(TextBox& editor, RichTextBox& pane) {
  Text112.BackColor = kHeadPlain;
  if (!Text112.Visible) return;
  editor.Visible = false;
  pane.ZOrder();
  pane.setText(editor.text());
  pane.Visible = true;
}

void FrmLexaro::RichTextBox14_Click() { closeOtherWordEditor(Text113, RichTextBox15); }
void FrmLexaro::RichTextBox15_Click() { closeOtherWordEditor(Text39, RichTextBox14); }

void FrmLexaro::RichTextBox14_KeyPress(int&) { Text39.setSelStart(InputCaretMemory); }
void FrmLexaro::RichTextBox15_KeyPress(int&) { Text113.setSelStart(InputCaretMemory); }

void FrmLexaro::markSelectionSource(TextBox& mark) {
  for (TextBox* m : {&Text58, &Text59, &Text60, &Text61}) m->BackColor = m == &mark ? kSourceMarked : kWindowBackground;
}

void FrmLexaro::wordPaneSelection(RichTextBox& pane, TextBox& mark) {
  markSelectionSource(mark);
  Text109.setText(pane.SelText());  // SelectionCharCode turns it into its first character's code
  // A selection that begins with a line break or a blank is not looked up.
  if (Text109.text() == u"13" || Text109.text() == u"32") return;
  RichTextBox16.setText(pane.SelText());
}

void FrmLexaro::RichTextBox14_MouseUp(int, int, float, float) {
  InputCaretMemory = RichTextBox14.SelStart();
  Text39.setSelStart(InputCaretMemory);
  wordPaneSelection(RichTextBox14, Text60);
}

void FrmLexaro::RichTextBox15_MouseUp(int, int, float, float) {
  InputCaretMemory = RichTextBox15.SelStart();
  wordPaneSelection(RichTextBox15, Text61);
}

// SelectionCharCode: the code of the first selected character of the box
// the last mouse selection came from.
void FrmLexaro::Text109_Change() {
  const std::pair<TextBox*, TextBox*> sources[] = {
      {&Text58, &Text39}, {&Text59, &Text113}, {&Text60, &RichTextBox14}, {&Text61, &RichTextBox15}};
  for (auto [mark, box] : sources) {
    if (mark->BackColor != kSourceMarked) continue;
    if (box->SelLength() == 0) return;
    Text109.setText(gbkCodeText(box->text()[box->SelStart()]));
    mark->BackColor = kWindowBackground;
    return;
  }
}

void FrmLexaro::Text39_MouseUp(int, int, float, float) { markSelectionSource(Text58); }
void FrmLexaro::Text39_DblClick() { markSelectionSource(Text58); }
void FrmLexaro::Text113_MouseUp(int, int, float, float) { markSelectionSource(Text59); }

// --- the verb view's large boxes and the not-found hint ------------------------------

void FrmLexaro::Text90_MouseUp(int, int, float, float) { RichTextBox16.setText(Text90.SelText()); }
void FrmLexaro::Text91_MouseUp(int, int, float, float) { RichTextBox16.setText(Text91.SelText()); }

void FrmLexaro::Text32_Click() { Text32.Visible = false; }
void FrmLexaro::Text32_MouseMove(int, int, float, float) { Text32.Visible = false; }

}  // namespace zuvo
