// The input box's own keys and mouse: the caret it remembers between
// releases, the accented letters of the Ctrl keys, and the release that
// closes the range result.

#include "app/FrmLexaro.h"

namespace zuvo {

void FrmLexaro::RichTextBox16_MouseUp(int, int, float, float) { InputCaretMemory = RichTextBox16.SelStart(); }

// A typed character goes in where the caret was last left by the user, not
// where a lookup's write of the box put it. A selection the user made there
// stays, so that the key replaces it rather than the text before it.
void FrmLexaro::RichTextBox16_KeyPress(int&) {
  const int64_t at = InputCaretMemory;
  if (RichTextBox16.SelStart() != at) RichTextBox16.setSelStart(at);
}

void FrmLexaro::RichTextBox16_KeyUp(int& keyCode, int shift) {
  InputCaretMemory = RichTextBox16.SelStart();
  if (Text2.text().empty()) {
    RichTextBox13.setText(kHowToAddTextOnKeyUp);
    Text1.setText(RichTextBox13.text());
    return;
  }
  if (const char16_t letter = accentLetter(keyCode, shift)) {
    if (keyCode == 'I') {
      // Ctrl+I types a tab into the box before its release: the letter
      // takes its place. A character the user typed is never replaced.
      removeTypedTab(RichTextBox16);
      RichTextBox16.setSelText(Text(1, letter));
    } else {
      RichTextBox16.setSelText(RichTextBox16.SelText() + Text(1, letter));
    }
    // Past the end of the input: the caret stands at its end.
    RichTextBox16.setSelStart(static_cast<int64_t>(Val(Text56.text())) + RichTextBox16.SelStart());
  }
  RichTextBox3.setText(u"");
  RichTextBox3.Visible = false;
  Text25.setText(u"0");
  RichTextBox16.SetFocus();
}

}  // namespace zuvo
