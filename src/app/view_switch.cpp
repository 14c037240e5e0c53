// Stepping the result view along its cycle: the verb view, the two sentence
// panes, the word view, and round again.

#include "app/FrmLexaro.h"

namespace zuvo {

// SwitchResultView
void FrmLexaro::Command10A_Click() {
  // The word and verb that stood before a word of the lower pane was looked
  // up come back.
  if (Text112.text().empty()) {
    Data6.setIndex("ZD2");
    Data6.Seek("=", Text71.text());
    if (Data6.NoMatch()) Data6.MoveFirst();
    Text71.setText(u"");
    Data3.setIndex("ZD1");
    Data3.Seek("=", Text89.text());
    if (Data3.NoMatch()) Data3.MoveFirst();
    Text89.setText(u"");
  }
  RichTextBox15.setText(Text113.text());
  RichTextBox14.setText(Text39.text());
  if (Text2.text().empty()) {
    RichTextBox13.setText(kHowToAddText);
    Text1.setText(RichTextBox13.text());
    return;
  }
  RichTextBox12.Visible = false;
  RichTextBox3.Visible = false;
  Text33.setText(u"");
  Text33.Visible = false;
  if (Command58.Visible) Command11.setValue(true);  // ToggleBatchMode leaves batch mode

  if (Text92.Visible) {
    Command36_Click();
    twoPaneLayout();
    RichTextBox13.ZOrder();
    RichTextBox7.ZOrder();
    RichTextBox13.Visible = RichTextBox7.Visible = true;
    // Saves a change pending in the verb's boxes and refreshes them.
    if (!Text92.text().empty()) {
      Data3.MovePrevious();
      Data3.MoveNext();
    }
  } else if (RichTextBox13.Width > 9450) {
    Command76_Click();  // ShowWordViewLayout
  } else if (RichTextBox15.Visible) {
    for (Control* c : std::initializer_list<Control*>{&Text112, &RichTextBox15, &RichTextBox14, &RichTextBox13,
                                                      &RichTextBox7})
      c->Visible = false;
    Command54_Click();  // ShowVerbView
  }
}

}  // namespace zuvo
