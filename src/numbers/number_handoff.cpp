// The main window's side of the number speller: its work boxes decide
// whether the input is number-like, send it to the hidden worker FrmSZ, and
// show the Spanish words in the result box across the top of the work area.

#include <algorithm>
#include <array>

#include "app/FrmLexaro.h"
#include "numbers/FrmSZ.h"

namespace zuvo {

namespace {

// 一 二 三 四 五 六 七 八 九 十 零 年 月 日
constexpr std::array<TextView, 14> kMarkedNumeralCodes = {
    u"-11589", u"-18690", u"-14083", u"-13372", u"-12571", u"-15879", u"-14625",
    u"-20277", u"-16699", u"-13650", u"-15901", u"-15126", u"-11070", u"-14123"};
// 千 百 亿 万
constexpr std::array<TextView, 4> kScaleCodes = {u"-14425", u"-20263", u"-11558", u"-12814"};

bool isOneOf(TextView code, std::span<const TextView> set) {
  return std::find(set.begin(), set.end(), code) != set.end();
}

// The characters the number speller accepts at the end of its input.
constexpr TextView kAcceptedNumberChars = u"%,年％日月二一四三六五八七十九千百亿万零";

}  // namespace

// MarkChineseNumeralCode
void FrmLexaro::Text10_Change() {
  if (isOneOf(Text10.text(), kMarkedNumeralCodes)) Text10.BackColor = kNumeralMark;
}

// TrackFirstNonNumberChar
void FrmLexaro::Text11_Change() {
  if (RichTextBox16.SelStart() == 0) return;
  Text11.setText(LastChar(Text11.text()));
  const Text& code = Text10.text();
  const double v = code.empty() ? -1 : Val(code);
  const bool numberLike = (v >= 48 && v <= 57) || v == 44 || v == 37 || isOneOf(code, kMarkedNumeralCodes) ||
                          isOneOf(code, kScaleCodes);
  if (!numberLike && Text111.text().empty()) Text111.setText(Text11.text());
}

// FilterNumberChar: the last character stays when the speller takes it;
// another one is remembered in Text6 and the probe is emptied.
void FrmLexaro::Text34_Change() {
  Text34.setText(LastChar(Text34.text()));
  const Text ch = Text34.text();
  if (ch.empty()) return;
  const bool passes = StrComp(ch, u"57") <= 0 || StrComp(Text10.text(), u"48") >= 0;
  if (passes || kAcceptedNumberChars.find(ch[0]) != TextView::npos) return;
  if (Text6.text().empty()) Text6.setText(ch);
  Text34.setText(u"");
}

// SpellNumberInput
void FrmLexaro::Text35_Change() {
  if (Text34.text().empty()) return;
  FrmSZ& sz = app().form<FrmSZ>();
  sz.Text35.setText(Text35.text());
  sz.Command1.setValue(true);
  if (!Text6.text().empty()) return;
  // NumberResultScreen
  Text33.Move(220.02f, 1320, 9470, 1180);
  Text33.ZOrder();
  Text33.Visible = true;
  RichTextBox13.Move(220.02f, 2550, 4700, 2390);
  RichTextBox7.Move(4990, 2550, 4700, 2390);
  RichTextBox13.ZOrder();
  RichTextBox7.ZOrder();
  RichTextBox13.Visible = RichTextBox7.Visible = true;
}

// A click on the result box closes it. The request boxes are emptied too, so
// that typing the same number again shows its words again.
void FrmLexaro::Text33_Click() {
  Text33.Visible = false;
  twoPaneLayout();
  Text88.Width = 9490;
  Text88.Visible = true;
  RichTextBox13.Visible = RichTextBox7.Visible = true;
  for (TextBox* b : {&Text34, &Text35, &Text6}) b->setText(u"");
  RichTextBox16.setText(u"");
  RichTextBox16.SetFocus();
}

}  // namespace zuvo
