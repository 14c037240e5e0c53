// Start-up and shut-down of the main window, and the texts it shares.

#include "app/FrmLexaro.h"
#include "tools/usage_help.h"

namespace zuvo {

namespace {
Text joinLines(std::initializer_list<TextView> lines) {
  Text out;
  for (TextView l : lines) {
    if (!out.empty()) out += CRLF;
    out += l;
  }
  return out;
}
}  // namespace

const Text kHowToAddText = joinLines({
    u"               ****** 请您单项或批量添入词句！******",
    u"★单项添入词句的操作顺序为：",
    u"  按【添加】按钮，再按【添加句子】按钮，在上窗口写入汉语，在下窗口写入外语。",
    u"★批量添加词句的操作顺序为：",
    u"  1. 按【PLT】按钮后接着按【批量句子添加】按钮;",
    u"  2. 打开您自己的数据文件后再按【批量句子入库】按钮即可。",
});

const Text kHowToAddTextOnKeyUp = joinLines({
    u"               ****** 请您单项或批量添入词句！******",
    u"★单项添入词句的操作顺序为：",
    u"  按【添加】按钮，再按【添加句子】按钮，在上窗口写入汉语，在下窗口写入外语。",
    u"★批量添加词句的操作顺序为：",
    u"  1. 按下【PLT】按钮后接着按下【批量句子添加】按钮",
    u"  2. 打开您自己的数据文件后再按下【批量句子入库】按钮即可。",
});

void FrmLexaro::writeHowToAddText(bool alsoText1) {
  RichTextBox13.setText(kHowToAddText);
  if (alsoText1) Text1.setText(kHowToAddText);
}

void FrmLexaro::twoPaneLayout() {
  RichTextBox13.Move(220.02f, 1320, 9470, 1760);
  RichTextBox7.Move(220.02f, 3150, 9470, 1810);
}

// The stores open right after this returns and fill the panes with the
// first sentence pair.
void FrmLexaro::Form_Load() {
  Caption = u"  PELUR-Orvando V.1.0  注：本速查软件所需全部词句将由使用者自己添加，开放式数据库。  ";
  twoPaneLayout();
  Text88.Width = 9490;
  Text88.Visible = true;
  RichTextBox13.Visible = true;
  RichTextBox7.Visible = true;
  prepareWordStaging();
}

// ClearPanesAndEnd: the close is never refused; the other windows are not
// unloaded one by one. The stores save what is still pending as the run ends.
void FrmLexaro::Form_Unload(int&) {
  RichTextBox11.setText(u"");
  RichTextBox12.setText(u"");
  RichTextBox3.setText(u"");
  RichTextBox8.setText(u"");
  app().End();
}

// ExitProgram
void FrmLexaro::Command21_Click() {
  app().unload<Frm说明1>();
  app().unload(*this);
}

// ToggleCaptionSet: Command10 is disabled and never enabled, so nothing
// reaches this.
void FrmLexaro::Command10_Click() {
  CommandButton* const buttons[] = {&Command15, &Command9,  &Command38, &Command67, &Command83, &Command55,
                                    &Command56, &Command81, &Command1,  &Command3,  &Command10A, &Command11,
                                    &Command12, &Command17, &Command19, &Command21, &Command23, &Command24,
                                    &Command25, &Command27, &Command45, &Command51, &Command57, &Command58,
                                    &Command59, &Command69};
  const bool toLatin = Command10.Caption != u"X-H ZH";
  Command10.Caption = toLatin ? u"X-H ZH" : u"H-X ZH";
  for (CommandButton* b : buttons) b->Caption = toLatin ? u"ABC" : u"";
  Command21.SetFocus();
}

}  // namespace zuvo
