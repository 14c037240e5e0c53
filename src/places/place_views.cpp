// The place window's views, what a move of the place table does in the
// window, the world map and the small handlers of the detail rows.

#include "places/place_window.h"

namespace zuvo {

namespace {
constexpr TextView kGridHeading = u"  世界地名——中文列表:";
constexpr TextView kNameMapHeading = u"  世界地名中外文名称:";
constexpr TextView kTitleTail = u"—简介:";

}  // namespace

void frm世界地名::setTitle(TextView name) { Label5.setCaption(Text(name) + Text(kTitleTail)); }

// --- moves of PlaceStore ---------------------------------------------------------

// UpdatePlaceDisplayName: ZD2 up to its first "【".
void frm世界地名::RichTextBox3_Change() {
  RichTextBox3.setSelStart(0);
  RichTextBox3.Span(u"【", true, true);
  Text1.setText(RichTextBox3.SelText());
}

void frm世界地名::DBGrid1_RowColChange() {
  if (Label6.BackColor != kPlaceSearching) {
    RichTextBox1.setText(Text3.text());
    Label6.BackColor = kButtonFace;
  }
  setTitle(Text1.text());
  Data2.setIndex("ID");
  Data2.Seek("=", Text5.text());
}

void frm世界地名::DBGrid2_RowColChange() {
  if (Label6.BackColor != kPlaceSearching) {
    RichTextBox2.setText(Text4.text());
    Label6.BackColor = kButtonFace;
  }
  setTitle(Text1.text());
}

// --- views -----------------------------------------------------------------------

void frm世界地名::showGridView() {
  Label4.Left = 4744;
  for (Control* c : {(Control*)&RichTextBox1, (Control*)&RichTextBox2, (Control*)&RichTextBox6, (Control*)&Picture3,
                     (Control*)&Label5})
    c->Visible = false;
  DBGrid1.Visible = true;
  DBGrid2.Visible = true;
}

// CyclePlaceView ("[][]").
void frm世界地名::Command40_Click() {
  const bool same = RichTextBox1.text() == DBGrid1.text();
  const bool shown = RichTextBox1.Visible;
  if (same && shown) {
    showGridView();
    Label4.Visible = true;
    Label3.setCaption(kGridHeading);
    Label3.Visible = true;
  } else if (same) {
    DBGrid1.Visible = DBGrid2.Visible = false;
    Label4.Visible = false;
    Label3.setCaption(kNameMapHeading);
    Label3.Visible = Label5.Visible = true;
    RichTextBox1.Move(288, 410, 5665, 290);
    RichTextBox2.Move(288, 720, 5665, 290);
    Picture3.Move(278, 1030, 5675, 2180);
    RichTextBox6.Width = 3674;
    RichTextBox1.Visible = RichTextBox2.Visible = RichTextBox6.Visible = Picture3.Visible = true;
  } else if (shown) {
    showGridView();
  } else {
    DBGrid1.Visible = DBGrid2.Visible = false;
    Label4.Left = 3286;
    Label3.setCaption(kGridHeading);
    Label3.Visible = Label5.Visible = true;
    RichTextBox1.Move(288, 398, 3068, 2810);
    RichTextBox2.Move(3344, 398, 2638, 2810);
    RichTextBox6.Width = 3674;
    RichTextBox1.Visible = RichTextBox2.Visible = RichTextBox6.Visible = true;
  }
  Text9.SetFocus();
}

// ClearPlaceResultLists ("<*>"): not in the one-line lists of the name map.
void frm世界地名::Command29_Click() {
  if (RichTextBox1.Height <= 400) return;
  RichTextBox1.setText(u"");
  RichTextBox2.setText(u"");
  RichTextBox1.Visible = RichTextBox2.Visible = false;
  RichTextBox1.setText(DBGrid1.text());
  RichTextBox2.setText(DBGrid2.text());
  Label6.BackColor = kButtonFace;
}

// ToggleWorldMap (the banner).
void frm世界地名::Picture1_Click() {
  if (addPanelOpen()) return;
  if (Picture3.Visible) {
    Label3.setCaption(kGridHeading);
    Picture3_Click();  // ReturnFromWorldMap, as a subroutine
    return;
  }
  Picture3.Top = 410;
  Picture3.Width = 5660;
  Picture3.Height = 2810;
  Picture3.Visible = true;
  Label3.Visible = Label4.Visible = false;
  Label5.Visible = true;
  RichTextBox6.Width = 3674;
  RichTextBox6.Visible = true;
  DBGrid1.Visible = DBGrid2.Visible = RichTextBox1.Visible = RichTextBox2.Visible = false;
}

// ReturnFromWorldMap (a click on the map).
void frm世界地名::Picture3_Click() {
  for (Control* c : {(Control*)&RichTextBox1, (Control*)&RichTextBox2, (Control*)&RichTextBox6,
                     (Control*)&Picture3, (Control*)&Label5})
    c->Visible = false;
  for (Control* c : {(Control*)&Label3, (Control*)&Label4, (Control*)&DBGrid1, (Control*)&DBGrid2})
    c->Visible = true;
}

// ShowFullNameAlternate: Text48 stands in for the full-name box. It has no
// data source, so it shows its own text.
void frm世界地名::Text38_DblClick() {
  Text48.setDataField("ZD12");
  Text48.Top = 3580;
  Text48.Visible = true;
  Text38.Visible = false;
}

// RestoreFullNameBox.
void frm世界地名::Text48_DblClick() {
  Text48.setDataField("");
  Text48.Visible = false;
  Text38.Visible = true;
  Text48.Top = 3870;
}

// ClosePlacePanelOrExit: "关闭" closes the batch panel, "退出" the window.
void frm世界地名::Command27_Click() {
  if (Command27.Caption == u"关闭") return closeBatchPanel();
  app().unload(*this);
}

}  // namespace zuvo
