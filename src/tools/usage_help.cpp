#include "tools/usage_help.h"

#include "app/FrmLexaro.h"
#include "platform/design.h"

namespace zuvo {

namespace {
// clang-format off
constexpr DesignRow kDesign[] = {
    {.name = "DBGrid1", .left = 120, .top = 75, .width = 8550, .height = 3300, .fontSize = 10.5f},
    {.name = "Label1", .left = 120, .top = 3450, .width = 7200, .height = 405},
    {.name = "Command1", .left = 7470, .top = 3450, .width = 1212, .height = 420, .text = u"关  闭(&X)"},
};
// clang-format on
}  // namespace

TableSchema Frm说明1::helpTable() {
  TableSchema s;
  s.file = "SMK0.db";
  s.table = "Sheet1";
  s.fields = {"字段1"};
  s.readOnly = true;
  s.seedFile = "SMK0.tsv";
  return s;
}

Frm说明1::Frm说明1(Application& app) : Window(app, "Frm说明1") {
  Caption = u" 使用说明";
  Width = 8850;
  Height = 4000;
  applyDesign(*this, kDesign);
  Data1.Visible = false;
  Data1.bind(DBGrid1);
  DBGrid1.DataField = u"字段1";
  DBGrid1.AllowUpdate = false;
  Command1.Click = [this] { Command1_Click(); };
}

void Frm说明1::Command1_Click() {
  app().form<FrmLexaro>().Command15.Caption = u"说明";
  app().unload(*this);
}

}  // namespace zuvo
