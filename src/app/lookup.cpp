// The as-you-type lookup: every change of the input box decides what the
// window shows. Number-like input goes to the number speller; other input is
// sought whole as a verb, a key word or a Chinese meaning. The lookup keeps
// its variables in hidden work boxes, whose own handlers derive lengths and
// character codes.

#include "app/FrmLexaro.h"

namespace zuvo {

// TakeLastCharCode: Text100 keeps the last character of what was written into
// it, Text10 and Text8 its character code.
void FrmLexaro::Text100_Change() {
  Text100.setText(LastChar(Text100.text()));
  if (!Text100.text().empty()) {
    const Text code = gbkCodeText(Text100.text()[0]);
    writeLastCharCode(code);
    Text8.setText(code);
  } else {
    writeLastCharCode(u"");
  }
}

// Writing Text10 marks a Chinese numeral even when the code is the one the
// box already holds (the same numeral typed twice), so the colour always
// describes the current last character.
void FrmLexaro::writeLastCharCode(TextView code) {
  if (Text10.text() == code)
    Text10_Change();
  else
    Text10.setText(code);
}

// TrackInputLength
void FrmLexaro::Text106_Change() { Text56.setText(NumText(Len(Text106.text()))); }

void FrmLexaro::Text21_Change() { Text21.setText(NumText(Len(RichTextBox16.text()))); }

bool FrmLexaro::lastCharIsNumberCharacter() const {
  if (Text10.BackColor == kNumeralMark) return true;
  const Text& code = Text10.text();
  if (code == u"-14425" || code == u"-20263") return true;  // 千 百
  if (code == u"-11558" || code == u"-12814") return true;  // 亿 万
  if (code.empty()) return false;
  const double v = Val(code);
  return v == 44 || v == 37 || (v >= 48 && v <= 57);
}

// AsYouTypeLookup
void FrmLexaro::RichTextBox16_Change() {
  auto input = [this]() -> const Text& { return RichTextBox16.text(); };
  RangeQueryGuard = u"0";
  if (Text105.text().empty()) Text105.setText(Text75.text());
  if (Label6.BackColor == kSkipNextLookup) {
    Label6.BackColor = kButtonFace;
    return;
  }
  // The length is taken afresh for every input, also for a lone "0" that
  // Text106 already holds from its design.
  if (Text106.text() == input())
    Text106_Change();
  else
    Text106.setText(input());
  Text10.BackColor = kWindowBackground;
  if (Text100.text() == input())
    Text100_Change();  // the code is taken afresh for every input
  else
    Text100.setText(input());

  // The input got shorter: the range result goes; when the character removed
  // was the one that ended the number mode, the number is spelled again.
  if (Val(Text56.text()) < Val(Text21.text())) {
    RichTextBox3.Visible = false;
    RichTextBox3.setText(u"");
    if (Text11.text() == Text111.text()) {
      Text111.setText(u"");
      if (Text35.text() == input())
        Text35_Change();
      else
        Text35.setText(input());
    }
  }
  // The character that ended the number mode is gone (typed over with a
  // selection): the number mode starts afresh, as for an emptied input.
  if (!Text111.text().empty() && input().find(Text111.text()) == Text::npos) Text111.setText(u"");
  Text11.setText(input());
  Text21.setText(input());

  if (Command24.Caption == u"关闭(&L)") Command24.setValue(true);  // EditSelectedSentence; never so captioned
  if (Command1.Caption == u"关闭(&K)") Command1.setValue(true);   // ToggleAddMode leaves add mode

  if (Text56.text() == u"0") {
    emptyInputReset();
    return;
  }
  if (Text111.text().empty() && lastCharIsNumberCharacter()) {
    // DivertNumberInput
    Text34.setText(input());
    Text35.setText(input());
    return;
  }
  if (!Text111.text().empty()) Command16_Click();  // RestoreTextPanes

  // One or two characters ending in a Latin letter are not looked up.
  if (Text56.text() == u"1" || Text56.text() == u"2") {
    const double c = Val(Text10.text());
    if ((c >= 65 && c <= 90) || (c >= 97 && c <= 122)) return;
  }

  const Text key = input();
  Data3.setIndex("ZD1");
  Data3.Seek("=", key);
  if (!Data3.NoMatch()) {
    Command54_Click();  // ShowVerbView
    Text32.Visible = false;
    RichTextBox16.setText(u"");
    Text105.setText(u"0");
    return;
  }
  Data6.setIndex("ZD1");
  Data6.Seek("=", key);
  if (Data6.NoMatch()) {
    Data6.setIndex("ZD3");
    Data6.Seek("=", key);
  }
  if (!Data6.NoMatch()) {
    Command36_Click();  // HideVerbFields
    Command76_Click();  // ShowWordViewLayout
    RichTextBox15.setText(Text113.text());
    RichTextBox14.setText(Text39.text());
    Command48_Click();  // HighlightInputInWordView
    Command78_Click();  // HighlightQueryInPanes
    Text32.Visible = false;
    return;
  }
  Command44_Click();  // ShowNotFoundLayout
  Command78_Click();  // HighlightQueryInPanes
}

// EmptyInputReset: the panes' first lines back to plain, and the number
// answer closed.
void FrmLexaro::emptyInputReset() {
  Text32.Visible = false;
  // An emptied input ends the number mode, so a number typed next is spelled.
  Text111.setText(u"");
  for (RichTextBox* pane : {&RichTextBox13, &RichTextBox7}) {
    pane->Span(u"\r", true, true);
    pane->setSelColor(kWindowText);
    pane->setSelBold(false);
    pane->setSelText(pane->SelText());
  }
  if (Text33.Visible) {
    Command20_Click();  // ResetMainWindow
    Text33.Visible = false;
    for (TextBox* b : {&Text33, &Text34, &Text35, &Text6}) b->setText(u"");
    twoPaneLayout();
    RichTextBox7.Visible = true;
    RichTextBox13.Visible = true;
  }
}

}  // namespace zuvo
