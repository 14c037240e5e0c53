// The main window's design state: every control that is visible at start,
// and the hidden ones whose place, caption or first text the handlers rely
// on. A control that no row names is hidden; a hidden button that serves as
// a subroutine is captioned with its number.

#include <array>
#include <string>

#include "app/FrmLexaro.h"
#include "platform/design.h"

namespace zuvo {

namespace {

constexpr Colour kPaneGreen = 0xC0FFC0;
constexpr Colour kTeal = 0x808000;
constexpr Colour kRed = 255;
constexpr Colour kPaleCyan = 0xFFFFC0;

// clang-format off
constexpr DesignRow kDesign[] = {
    // input row
    {.name = "Command11", .left = 220, .top = 210, .width = 800, .height = 420, .text = u"PLT"},
    {.name = "Label1", .left = 1200, .top = 300, .width = 1125, .height = 270, .text = u"输入内容:"},
    {.name = "Text120", .left = 2355, .top = 245, .width = 5190, .height = 359, .back = kPaneGreen, .fontSize = 10.5f},
    {.name = "RichTextBox16", .left = 2465, .top = 300, .width = 4980, .height = 270, .back = kPaneGreen, .tabIndex = 0},
    {.name = "Command19", .left = 7710, .top = 210, .width = 615, .height = 420, .text = u"<*>"},
    {.name = "Command17", .left = 8350, .top = 210, .width = 1330, .height = 420, .text = u"范围查询"},
    // main row
    {.name = "Command1", .left = 220, .top = 794, .width = 1050, .height = 420, .text = u"添加(&N)"},
    {.name = "Command24", .left = 1300, .top = 794, .width = 1040, .height = 420, .text = u"修改(&G)"},
    {.name = "Command27", .left = 2370, .top = 794, .width = 1020, .height = 420, .text = u"说明(&P)"},
    {.name = "Command12", .left = 3440, .top = 794, .width = 870, .height = 420, .text = u"[换算]"},
    {.name = "Command3", .left = 4320, .top = 794, .width = 870, .height = 420, .text = u"[地名]"},
    {.name = "Command7", .left = 5210, .top = 794, .width = 870, .height = 420, .text = u"[货币]", .enabled = false},
    {.name = "Command13", .left = 6090, .top = 794, .width = 870, .height = 420, .text = u"[译名]", .enabled = false},
    {.name = "Command23", .left = 7000, .top = 794, .width = 1320, .height = 420, .text = u"上一条(&A)"},
    {.name = "Command25", .left = 8349, .top = 794, .width = 1330, .height = 420, .text = u"下一条(&Z)"},
    // work area: the panes lie on the backdrop; Form_Load places and shows them
    {.name = "Text88", .left = 210, .top = 1337, .width = 9490, .height = 3735, .visible = false, .back = kButtonFace},
    {.name = "RichTextBox13", .left = 220.02f, .top = 1320, .width = 9470, .height = 1760, .visible = false, .back = kPaneGreen},
    {.name = "RichTextBox7", .left = 220.02f, .top = 3150, .width = 9470, .height = 1810, .back = kPaneGreen},
    // the text reader's panes, hidden until the reader opens a text
    {.name = "RichTextBox8", .left = 220.02f, .top = 1320, .width = 9470, .height = 1760, .visible = false},
    {.name = "RichTextBox12", .left = 220.02f, .top = 3150, .width = 9470, .height = 1810, .visible = false},
    {.name = "RichTextBox11", .left = 220.02f, .top = 1320, .width = 9470, .height = 1760, .visible = false},
    // bottom row
    {.name = "Label18", .left = 220, .top = 5307, .width = 4680, .height = 398, .back = kTeal, .fontSize = 10.5f},
    // The entry panels' placeholders tell the user to click this label by its caption.
    {.name = "Label7", .left = 260, .top = 5380, .width = 4480, .height = 296,
     .text = u"<作者信箱>", .back = kTeal, .fore = kHighlightText},
    {.name = "Command10A", .left = 4950, .top = 5315, .width = 1300, .height = 420, .text = u"转换窗口"},
    {.name = "Command8", .left = 6279, .top = 5315, .width = 1615, .height = 420, .text = u"动词变位(&B)", .enabled = false},
    {.name = "Command21", .left = 7939, .top = 5315, .width = 1785, .height = 420, .text = u"〖 退出(&X) 〗"},
    // small row
    {.name = "Command20", .left = 4950, .top = 5890, .width = 1300, .height = 228, .text = u"<> [——] <>", .fontSize = 9},
    {.name = "Command10", .left = 6279, .top = 5890, .width = 895, .height = 228, .text = u"X-H ZH", .enabled = false, .fontSize = 9},
    {.name = "Command26", .left = 7250, .top = 5890, .width = 660, .height = 228, .text = u"<<->>", .enabled = false, .fontSize = 9},
    {.name = "Command51", .left = 7939, .top = 5890, .width = 660, .height = 228, .text = u"<*>", .enabled = false, .fontSize = 10.5f},
    {.name = "Command29", .left = 8670, .top = 5890, .width = 400, .height = 228, .text = u"K", .enabled = false, .fontSize = 9},
    {.name = "Command45", .left = 9099, .top = 5890, .width = 400, .height = 228, .text = u"H", .enabled = false, .fontSize = 9},
    {.name = "Command59", .left = 9539, .top = 5890, .width = 345, .height = 228, .text = u"Y", .enabled = false, .fontSize = 10.5f},
    // bottom edge
    {.name = "StatusBar1", .left = 0, .top = 5835, .width = 9915, .height = 300},

    // hidden controls with a place, caption or first text of their own
    // the hint's nineteen characters fit its width whole only below 10.5 point
    {.name = "Text32", .left = 5640, .top = 2700, .width = 3945, .height = 345,
     .text = u"未找到您需要的信息，请用范围查找再试。", .visible = false, .fore = kRed, .fontSize = 9},
    {.name = "Text33", .visible = false, .back = 0xC0E0FF, .locked = true, .multiLine = true},
    {.name = "RichTextBox3", .visible = false, .back = 0xC0FFFF},
    {.name = "Text26", .visible = false, .fontSize = 10.5f},
    {.name = "Text27", .visible = false, .fontSize = 10.5f},
    {.name = "ProgressBar1", .left = 480, .top = 5865, .width = 2340, .height = 270, .visible = false},
    {.name = "Text23", .visible = false, .locked = true},
    // the word view's in-place editors
    {.name = "Text39", .visible = false, .back = 0xFFC0FF},
    {.name = "Text113", .visible = false, .back = 0xFFC0FF},
    {.name = "Text24", .visible = false, .locked = true},
    // add mode's buttons, where add mode shows them
    {.name = "Command55", .left = 2380.221f, .top = 777.965f, .width = 1510, .height = 420, .text = u"添加句子(&V)", .visible = false},
    {.name = "Command56", .left = 3900.363f, .top = 777.965f, .width = 1510, .height = 420, .text = u"添加动词(&R)", .visible = false},
    {.name = "Command81", .left = 5410.5f, .top = 777.965f, .width = 1540, .height = 420, .text = u"添加单词(&W)", .visible = false},
    // batch mode's buttons on the input row
    {.name = "Command58", .left = 1120, .top = 225, .width = 2170, .height = 388, .text = u"批量句子添加(&C)", .visible = false},
    {.name = "Command57", .left = 3300, .top = 225, .width = 2150, .height = 388, .text = u"批量动词添加(&D)", .visible = false},
    {.name = "Command69", .left = 5450, .top = 225, .width = 2160, .height = 388, .text = u"批量单词添加(&E)", .visible = false},
    // the sentence panels
    {.name = "Label4", .left = 180, .top = 150, .width = 9560, .height = 4840, .visible = false},
    {.name = "Label5", .left = 180, .top = 190.159f, .width = 3100, .height = 248.133f, .text = u"  输入中文句子的全文内容:", .visible = false},
    {.name = "Label3", .left = 180, .top = 1720, .width = 3100, .height = 248.133f, .text = u"  输入西文句子的全文内容:", .visible = false},
    {.name = "Text40", .left = 220.02f, .top = 420.212f, .width = 9470, .height = 1220, .visible = false, .back = kPaneGreen, .multiLine = true},
    {.name = "Text41", .left = 220.02f, .top = 1950, .width = 9470, .height = 3000, .visible = false, .back = kPaleCyan, .multiLine = true},
    {.name = "Text44", .left = 220.02f, .top = 420.212f, .width = 9470, .height = 1220, .visible = false, .back = kPaneGreen, .multiLine = true},
    {.name = "Text45", .left = 220.02f, .top = 1950, .width = 9470, .height = 3000, .visible = false, .back = kPaleCyan, .multiLine = true},
    {.name = "Command15", .left = 7930, .top = 5210, .width = 730, .height = 420, .text = u"说明", .visible = false},
    {.name = "Command38", .left = 8700, .top = 5210, .width = 1000, .height = 420, .text = u"保—存", .visible = false},
    {.name = "Command9", .left = 8700, .top = 5210, .width = 1000, .height = 420, .text = u"保—存", .visible = false},
    {.name = "Command67", .left = 8700, .top = 5210, .width = 1000, .height = 420, .text = u"保—存", .visible = false},
    {.name = "Command83", .left = 8700, .top = 5210, .width = 1000, .height = 420, .text = u"保—存", .visible = false},
    // the verb entry and word add panels' boxes with a design colour
    {.name = "Text102", .visible = false, .back = kPaleCyan},
    {.name = "Text117", .visible = false, .back = 0xC0E0FF},
    {.name = "Text118", .visible = false, .back = 0xC0E0FF},
    {.name = "Command5", .text = u"5", .visible = false},
    {.name = "Command16", .text = u"C16", .visible = false},
    {.name = "Command31", .text = u"z31", .visible = false},
    {.name = "Command46", .text = u"46", .visible = false, .enabled = false},
    {.name = "Command70", .text = u"", .visible = false},
    {.name = "Command78", .text = u"78j", .visible = false},
    // work boxes that start as "0"
    {.name = "Text21", .text = u"0", .visible = false},
    {.name = "Text25", .text = u"0", .visible = false},
    {.name = "Text30", .text = u"0", .visible = false},
    {.name = "Text53", .text = u"0", .visible = false},
    {.name = "Text54", .text = u"0", .visible = false},
    {.name = "Text56", .text = u"0", .visible = false},
    {.name = "Text79", .text = u"0", .visible = false},
    {.name = "Text106", .text = u"0", .visible = false},
};
// clang-format on

// Boxes that hold several lines.
constexpr std::string_view kMultiLine[] = {
    "Text1",  "Text2",  "Text3",  "Text26", "Text27", "Text39",  "Text40",  "Text41",  "Text42", "Text43",
    "Text44", "Text45", "Text46", "Text47", "Text63", "Text73",  "Text90",  "Text91",  "Text112", "Text113",
    "Text114", "Text116", "Text119"};

}  // namespace

void FrmLexaro::applyDesignState() {
  Caption.clear();
  Width = 9915;
  Height = 6135;
  for (Control* c : controls()) {
    c->Visible = false;
    // Hidden buttons that serve as subroutines carry their number.
    if (c->kind() == ControlKind::CommandButton)
      static_cast<CommandButton*>(c)->Caption = fromUtf8(c->name().substr(std::string_view("Command").size()));
  }
  for (std::string_view name : kMultiLine) static_cast<TextBox*>(find(name))->MultiLine = true;
  applyDesign(*this, kDesign);
  // The entry panels' boxes lie over the main button row they open above.
  for (TextBox* b : {&Text40, &Text41, &Text42, &Text43, &Text44, &Text45, &Text46, &Text47, &Text72, &Text102,
                     &Text114, &Text116, &Text117, &Text118, &Text119})
    b->ZOrder();
  // Backdrops lie behind what stands on them; the note lies on its strip.
  Label7.ZOrder();
  Label4.ZOrder(1);
  Text88.ZOrder(1);
  Text120.ZOrder(1);
  StatusBar1.ZOrder(1);

  // The flag labels start off (the button face); so does WordSearchRowFlag.
  Text10.BackColor = kWindowBackground;
  Text87.BackColor = 0x8080FF;
  // ReaderResultFlag at rest: Text23's colour carries no data.
  Text23.BackColor = 0xC0FFFF;

  Shape1.Visible = Shape2.Visible = Shape3.Visible = true;
  Shape3.Left = 120, Shape3.Top = 90, Shape3.Width = 9675, Shape3.Height = 5055;
  Shape3.BorderColor = 0x800000, Shape3.BorderWidth = 3;
  Shape2.Left = 1110, Shape2.Top = 200, Shape2.Width = 6520, Shape2.Height = 455;
  Shape2.BorderColor = 0xC0, Shape2.BorderWidth = 2;
  Shape1.Left = 120, Shape1.Top = 5230, Shape1.Width = 9675, Shape1.Height = 555;
  Shape1.BorderColor = 0xC0, Shape1.BorderWidth = 3;
  Shape4.Left = 2360, Shape4.Top = 765, Shape4.Width = 1860, Shape4.Height = 459;
  Shape4.BorderColor = 255;
  Shape5.Left = 200, Shape5.Top = 409, Shape5.Width = 9519, Shape5.Height = 4675;
  Shape5.BorderColor = 0xFFFFFF, Shape5.BorderWidth = 2;
  for (LineControl* l : {&Line1, &Line4}) {
    l->Visible = true;
    l->BorderColor = 0x800000;
    l->BorderWidth = 3;
    l->X1 = 170;
    l->X2 = 9750;
  }
  Line1.Y1 = Line1.Y2 = 712;
  Line4.Y1 = Line4.Y2 = 1278;

  ProgressBar1.Min = 0;
  ProgressBar1.Max = 150;

  CommonDialog1.DialogTitle = u"打开";
  CommonDialog1.Filter = u"文本文件 (*.TXT)|*.TXT";
  CommonDialog2.DialogTitle = u"另存为";
  CommonDialog2.Filter = u"文本文件(*.txt)|*.*";
}

void FrmLexaro::bindStores() {
  // SentenceStore and its search partner
  Data1.bind(Text23, "ID");
  Data1.bind(Text2, "ZD3");
  Data1.bind(Text3, "ZD4");
  Data2.bind(Text24, "ID");
  Data2.bind(Text14, "Zd1");
  Data2.bind(MSFlexGrid1);
  // VerbStore and its partners
  Data3.bind(Text75, "ID");
  Data3.bind(Text92, "ZD1");
  Data3.bind(Text7, "ZD1");
  Data3.bind(Text64, "ZD2");
  Data3.bind(Text93, "ZD3");
  Data3.bind(Text94, "ZD4");
  Data3.bind(Text91, "ZD5");
  Data3.bind(Text90, "ZD6");
  Data3.bind(Text96, "ZD7");
  Data3.bind(Text97, "ZD8");
  Data3.bind(Text52, "ZD9");
  Data3.bind(Text26, "ZD10");
  Data3.bind(Text27, "ZD11");
  Data4.bind(Text115, "ID");
  Data4.bind(Text63, "ZD1");
  Data4.bind(Text108, "ZD2");
  Data4.bind(Text73, "ZD3");
  Data5.bind(Text107, "ZD1");
  Data5.bind(Text9, "ZD2");
  Data5.bind(Text87, "ZD3");
  Data5.bind(MSFlexGrid3);
  // WordStore and WordSearchStore
  Data6.bind(Text51, "ZD1");
  Data6.bind(Text112, "ZD2");
  Data6.bind(Text113, "ZD3");
  Data6.bind(Text39, "ZD5");
  Data7.bind(Text31, "ZD1");
  Data7.bind(Text36, "ZD2");
  Data7.bind(MSFlexGrid2);
  // SilentDataError
  for (DataSource* d : {&Data1, &Data2, &Data3, &Data4, &Data5, &Data6, &Data7})
    d->Error = [](int, int& response) { response = 0; };
}

}  // namespace zuvo
