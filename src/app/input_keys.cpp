// The input box's own keys and mouse: the caret it remembers between
// releases, the accented letters of the Ctrl keys, and the release that
// closes the range result.

#include "app/FrmLexaro.h"

namespace zuvo {

namespace {

// The Ctrl keys of the accented letters, by key code.
struct AccentKey {
  int keyCode;
  char16_t letter;
};
constexpr AccentKey kAccentKeys[] = {
    {'A', u'á'}, {'E', u'é'}, {'I', u'í'}, {'N', u'ň'}, {'O', u'ó'}, {'P', u'ü'}, {'U', u'ú'},
};

}  // namespace

void FrmLexaro::RichTextBox16_MouseUp(int, int, float, float) { InputCaretMemory = RichTextBox16.SelStart(); }

// A typed character goes in where the caret was last left by the user, not
// where a lookup's write of the box put it. A selection the user made there
// stays, so that the key replaces it rather than the text before it.
void FrmLexaro::RichTextBox16_KeyPress(int&) {
  const int64_t at = InputCaretMemory.value_or(0);
  if (RichTextBox16.SelStart() != at) RichTextBox16.setSelStart(at);
}

void FrmLexaro::RichTextBox16_KeyUp(int& keyCode, int shift) {
  InputCaretMemory = RichTextBox16.SelStart();
  if (Text2.text().empty()) {
    RichTextBox13.setText(kHowToAddTextOnKeyUp);
    Text1.setText(RichTextBox13.text());
    return;
  }
  if (shift == kCtrlMask) {
    for (const AccentKey& k : kAccentKeys) {
      if (k.keyCode != keyCode) continue;
      const Text letter(1, k.letter);
      if (k.keyCode == 'I') {
        // Ctrl+I types a tab into the box before its release: the letter
        // takes its place. A character the user typed is never replaced.
        const int64_t at = RichTextBox16.SelStart();
        if (at > 0 && RichTextBox16.text()[at - 1] == u'\t') {
          RichTextBox16.setSelStart(at - 1);
          RichTextBox16.setSelLength(1);
          RichTextBox16.setSelText(u"");
        }
        RichTextBox16.setSelText(letter);
      } else {
        RichTextBox16.setSelText(RichTextBox16.SelText() + letter);
      }
      // Past the end of the input: the caret stands at its end.
      RichTextBox16.setSelStart(static_cast<int64_t>(Val(Text56.text())) + RichTextBox16.SelStart());
      break;
    }
  }
  RichTextBox3.setText(u"");
  RichTextBox3.Visible = false;
  Text25.setText(u"0");
  RichTextBox16.SetFocus();
}

}  // namespace zuvo
