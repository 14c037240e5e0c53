#include "numbers/FrmSZ.h"

#include "platform/design.h"

namespace zuvo {

namespace {

// The worker is never shown: every control is hidden. Only the flags and
// the empty texts of the work boxes matter.
constexpr DesignRow kDesign[] = {
    {.name = "Text35", .visible = false},
    {.name = "Command1", .visible = false},
    {.name = "Text22", .visible = false},
    {.name = "Text43", .visible = false},
    {.name = "Text10", .visible = false},
    {.name = "Label2", .visible = false, .back = kButtonFace},
    {.name = "Label3", .text = u"", .visible = false},
    {.name = "Label4", .visible = false, .back = kScanIdle},
    {.name = "Command2", .visible = false},
    {.name = "Text1", .visible = false},
    {.name = "Text29", .visible = false},
    {.name = "Text14", .visible = false},
    {.name = "Text30", .visible = false},
    {.name = "Text31", .visible = false},
    {.name = "Text32", .visible = false},
    {.name = "Text42", .visible = false},
    {.name = "Text48", .visible = false},
    {.name = "Text49", .visible = false},
    {.name = "Text25", .visible = false},
    {.name = "Command5", .visible = false},
    {.name = "Text28", .visible = false},
    {.name = "Text3", .visible = false},
    {.name = "Text2", .visible = false},
    {.name = "Text4", .visible = false},
    {.name = "Text5", .visible = false},
    {.name = "Text6", .visible = false},
    {.name = "Text7", .visible = false},
    {.name = "Text8", .visible = false},
    {.name = "Text15", .visible = false},
    {.name = "Text16", .visible = false},
    {.name = "Text17", .visible = false},
    {.name = "Text18", .visible = false},
    {.name = "Text23", .visible = false},
    {.name = "Text24", .visible = false},
    {.name = "Data1", .visible = false},
    {.name = "Text11", .visible = false},
    {.name = "Text12", .visible = false},
    {.name = "Text13", .visible = false},
    {.name = "Text27", .visible = false},
    {.name = "Text26", .visible = false},
};

}  // namespace

TableSchema FrmSZ::numberWordTable() {
  TableSchema s;
  s.file = "SZK1.db";
  s.table = "表1";
  s.fields = {"ZD1", "ZD2", "ZD3", "ZD4", "ZD5", "ZD6"};
  s.indexes = {"ZD1", "ZD3", "ZD5"};
  s.readOnly = true;
  s.seedFile = "SZK1.tsv";
  return s;
}

FrmSZ::FrmSZ(Application& app)
    : Window(app, "FrmSZ"),
      slots_{&Text2, &Text4, &Text5, &Text6, &Text7, &Text8, &Text15, &Text16, &Text17, &Text18, &Text23, &Text24} {
  applyDesign(*this, kDesign);

  Data1.bind(Text11, "ZD2");
  Data1.bind(Text12, "ZD4");
  Data1.bind(Text13, "ZD6");
  Data1.bind(Text27, "ZD6");
  Data1.bind(Text26, "ZD5");
  Data1.Error = [](int, int& response) { response = 0; };  // Data1_Error: data errors pass silently

  Command1.Click = [this] { Command1_Click(); };
  Command2.GotFocus = [this] { Command2_GotFocus(); };
  Command5.GotFocus = [this] { Command5_GotFocus(); };
  Label3.Change = [this] { Label3_Change(); };
  Text22.Change = [this] { Text22_Change(); };
  Text1.Change = [this] { Text1_Change(); };
  Text25.Change = [this] { Text25_Change(); };
  Text32.Change = [this] { Text32_Change(); };
  Text48.Change = [this] { Text48_Change(); };
  Text49.Change = [this] { Text49_Change(); };

  Text2.Change = [this] { Text2_Change(); };
  Text4.Change = [this] { Text4_Change(); };
  Text5.Change = [this] { Text5_Change(); };
  Text6.Change = [this] { Text6_Change(); };
  Text7.Change = [this] { Text7_Change(); };
  Text8.Change = [this] { Text8_Change(); };
  Text15.Change = [this] { Text15_Change(); };
  Text16.Change = [this] { Text16_Change(); };
  Text17.Change = [this] { Text17_Change(); };
  Text18.Change = [this] { Text18_Change(); };
  Text23.Change = [this] { Text23_Change(); };
  Text24.Change = [this] { Text24_Change(); };
}

}  // namespace zuvo
