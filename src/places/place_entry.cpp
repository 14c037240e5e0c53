// Adding one place at a time and modifying the current place.

#include "places/place_window.h"

namespace zuvo {

namespace {
constexpr Colour kCaptionOpen = 0xFFFFC0;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kCoverGrey = 0xE0E0E0;
}  // namespace

// ToggleAddButtons ("><").
void frm世界地名::Command33_Click() {
  const bool hide = Command35.Visible;
  Command35.Visible = Command3.Visible = !hide;
  Command40.Enabled = Command39.Enabled = Command28.Enabled = hide;
}

// AddSinglePlace: opens the add panel, or stores the place, or closes the
// panel when both names are empty.
void frm世界地名::Command35_Click() {
  if (!addPanelOpen()) {
    for (TextBox* b : {&Text12, &Text13, &Text21, &Text14, &Text17, &Text18, &Text19}) b->Visible = true;
    for (TextBox* b : {&Text17, &Text18, &Text19}) b->BackColor = kCaptionOpen;
    Command35.Caption = u"保存添加(&B)";
    for (Control* c : {(Control*)&DBGrid1, (Control*)&DBGrid2, (Control*)&Command33, (Control*)&Command40,
                       (Control*)&Command3, (Control*)&Command39, (Control*)&Command28})
      c->Enabled = false;
    Picture3.Visible = RichTextBox1.Visible = RichTextBox2.Visible = false;
    Command34_Click();  // ShowPlaceEntryLayout as a subroutine
    return;
  }
  app().eventSaves();  // a failure from here on is a failed save
  Command40_Click();  // CyclePlaceView as a subroutine
  if (Text12.text().empty() && Text13.text().empty()) {
    Command35.Caption = u"单项添加(&D)";
    for (TextBox* b : {&Text12, &Text13, &Text21, &Text14, &Text17, &Text18, &Text19}) b->Visible = false;
    closeAddPanel();
    return;
  }
  storeSinglePlace();
  Command35.Caption = u"单项添加(&D)";
  closeAddPanel();
}

void frm世界地名::closeAddPanel() {
  for (Control* c : {(Control*)&DBGrid1, (Control*)&DBGrid2, (Control*)&Command33, (Control*)&Command3})
    c->Enabled = true;
  Command33_Click();  // ToggleAddButtons
  Command41_Click();  // HidePlaceEntryLayout
  Command27.SetFocus();
}

// One new record in each place table, all three saved before the press
// ends and standing on the same ID; the new place becomes current.
void frm世界地名::storeSinglePlace() {
  const bool hadPlace = Data1.hasCurrent();
  const int64_t gridRow = DBGrid1.Row();
  Data1.AddNew();
  Data2.AddNew();
  Data3.AddNew();
  Text4.setText(Text13.text());
  Text3.setText(Text12.text());
  Text43.setText(Text64.text());
  Text46.setText(Text65.text());
  Text45.setText(Text61.text());
  Text34.setText(Text57.text());
  Text36.setText(Text59.text());
  Text38.setText(Text48.text());
  Text40.setText(Text54.text());
  Text29.setText(Text50.text());
  Text31.setText(Text52.text());
  Text27.setText(Text14.text());
  Text23.setText(Text13.text());
  Text24.setText(Text12.text());
  Text26.setText(Text21.text());
  Text11.setText(Text12.text() + Text13.text() + u"/" + Text14.text());
  for (TextBox* b : {&Text12, &Text13, &Text21, &Text14, &Text64, &Text65, &Text57, &Text59, &Text61, &Text48,
                     &Text50, &Text52, &Text54}) {
    b->setText(u"");
    b->Visible = false;
  }
  for (TextBox* b : {&Text17, &Text18, &Text19}) b->Visible = false;
  // The search and name records are saved now, not at their stores' next
  // move, so a search finds the place at once and a close loses nothing.
  Data2.setIndex("ID");
  Data2.MoveLast();
  Data3.setIndex("ID");
  Data3.MoveLast();
  Data1.setIndex("ID");
  Data1.Seek("=", Text6.text());
  // The first place of empty tables stands on the grids' row 0, where they
  // already were: the grids saw no row change, yet the move from no place to
  // the new one is a move and has its effects in the lists and the title.
  if (!hadPlace && Data1.hasCurrent() && DBGrid1.Row() == gridRow) {
    DBGrid1_RowColChange();
    DBGrid2_RowColChange();
  }
  if (Data1.NoMatch() || Text22.text() != Text6.text())
    app().msgBox(u"地名表的记录编号不一致，新地名的记录可能不全：" + Text(Text6.text()), u" ZORVEK");
}

// TogglePlaceModify ("修改" / "保存").
void frm世界地名::Command28_Click() {
  if (Command28.Caption != u"修改") app().eventSaves();  // a failure from here on is a failed save
  if (DBGrid1.text().empty()) return;
  DBGrid1.Visible = DBGrid2.Visible = true;
  Data3.setIndex("ID");
  Data3.Seek("=", Text5.text());
  if (Command28.Caption == u"修改") {
    RichTextBox1.Visible = RichTextBox2.Visible = false;
    Label4.Left = 4744;
    Label5.Visible = RichTextBox6.Visible = false;
    Text3.Visible = Text4.Visible = Text10.Visible = true;
    Text27.Top = 1000;
    Text27.Visible = true;
    for (TextBox* b : {&Text3, &Text4, &Text10, &Text27}) b->ZOrder();
    Command40.Enabled = Command39.Enabled = false;
    Command28.Caption = u"保存";
    DBGrid1.Enabled = DBGrid2.Enabled = true;
    Picture3.Visible = false;
    Command24_Click();  // UnlockPlaceDetails as a subroutine
    return;
  }
  Command40_Click();  // CyclePlaceView as a subroutine
  Command38_Click();  // LockPlaceDetails as a subroutine
  for (TextBox* b : {&Text41, &Text47, &Text4, &Text10, &Text27, &Text3}) b->Visible = false;
  DBGrid2.Enabled = Command40.Enabled = Command39.Enabled = true;
  saveModifiedPlace();
  Command28.Caption = u"修改";
}

// The place's search text and name record follow the edited names, and all
// three records are saved before "保存" gives way to "修改".
void frm世界地名::saveModifiedPlace() {
  const Text id = Text5.text();
  if (Text6.text() != id) {
    Data2.setIndex("ID");
    Data2.Seek("=", id);
  }
  Text11.setText(Text4.text() + u"/" + Text3.text());
  Text23.setText(Text4.text());
  Text24.setText(Text3.text());
  for (DataSource* d : {&Data2, &Data3, &Data1}) {
    d->setIndex("ID");
    d->Seek("=", id);
  }
}

// ShowPlaceEntryLayout.
void frm世界地名::Command34_Click() {
  for (TextBox* b : detailBoxes()) b->Visible = false;
  for (TextBox* b : {&Text48, &Text50, &Text52, &Text54}) b->Top = 3580;
  for (TextBox* b : {&Text57, &Text59, &Text61, &Text64, &Text65}) b->Top = 3300;
  for (TextBox* b : {&Text48, &Text50, &Text52, &Text54, &Text57, &Text59, &Text61, &Text64, &Text65})
    b->Visible = true;
  Text41.Height = Text47.Height = 2790;
  Text41.Visible = Text47.Visible = true;
}

// HidePlaceEntryLayout.
void frm世界地名::Command41_Click() {
  for (TextBox* b : detailBoxes()) b->Visible = true;
  for (TextBox* b : {&Text48, &Text50, &Text52, &Text54}) b->Top = 3870;
  for (TextBox* b : {&Text57, &Text59, &Text61, &Text64, &Text65}) b->Top = 3020;
  for (TextBox* b : {&Text48, &Text50, &Text52, &Text54, &Text57, &Text59, &Text61, &Text64, &Text65, &Text41,
                     &Text47})
    b->Visible = false;
  for (TextBox* b : {&Text17, &Text18, &Text19}) b->BackColor = kWhite;
}

// UnlockPlaceDetails.
void frm世界地名::Command24_Click() {
  for (TextBox* b : detailBoxes()) b->Locked = false;
  Text41.Height = Text47.Height = 2790;
  Text41.Visible = Text47.Visible = true;
  for (TextBox* b : {&Text17, &Text18, &Text19}) b->BackColor = kWhite;
  Text41.BackColor = Text47.BackColor = kCoverGrey;
}

// LockPlaceDetails.
void frm世界地名::Command38_Click() {
  for (TextBox* b : detailBoxes()) b->Locked = true;
  Text41.Visible = Text47.Visible = false;
  Text41.BackColor = Text47.BackColor = kWindowBackground;
}

// Text12_Change, Text13_Change, Text21_Change: a lone blank is no name.
void frm世界地名::NameEntry_Change(TextBox& box) {
  if (box.text() == u" ") {
    box.setText(u"");
    box.SetFocus();
  }
  Label6.BackColor = box.SelStart() > 0 ? kPlaceTyping : kButtonFace;
}

}  // namespace zuvo
