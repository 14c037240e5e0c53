// Finding places: the type-ahead jump, Buscar with its listing, the result
// lists with their partner highlight, and the links between places.

#include "places/place_window.h"

namespace zuvo {

namespace {
bool contains(TextView hay, TextView needle) { return hay.find(needle) != TextView::npos; }

std::optional<int64_t> idNumber(TextView t) {
  if (t.empty() || t.size() > 18) return std::nullopt;
  int64_t v = 0;
  for (char16_t c : t) {
    if (c < u'0' || c > u'9') return std::nullopt;
    v = v * 10 + (c - u'0');
  }
  return v;
}
}  // namespace

// Moves PlaceStore to the place with this ID; false when there is none.
bool frm世界地名::seekPlaceById(TextView id) {
  Data1.setIndex("ID");
  Data1.Seek("=", id);
  return !Data1.NoMatch();
}

// JumpToTypedPlace: the whole typed text as a Western name.
void frm世界地名::Text9_KeyUp() {
  Text7.setText(u"0");
  if (Text9.SelStart() == 0) {
    Label6.BackColor = kButtonFace;
    return;
  }
  Data3.setIndex("ZD1");
  Data3.Seek("=", Text9.text());
  if (Data3.NoMatch()) return;
  if (seekPlaceById(Text22.text())) Text9.setText(u"");
}

// ClearSearchModeOnEmptyCaret.
void frm世界地名::Text9_Change() {
  if (Text9.SelStart() == 0) Label6.BackColor = kButtonFace;
}

// FindNextPlace ("Buscar"). Each hit is sought by the ID its grid row holds,
// and a row whose place cannot be found moves nothing.
void frm世界地名::Command39_Click() {
  const int64_t start = idNumber(Text7.text()).value_or(0);
  if (Text9.text().empty()) {
    Text9.SetFocus();
    return;
  }
  Label6.BackColor = kPlaceSearching;
  if (start <= 0) Command30_Click();  // ListAllPlaceMatches as a subroutine
  const Text needle = Text9.text();
  const int64_t rows = MSFlexGrid1.Rows();
  for (int64_t c = 0; c <= 1; ++c) {
    for (int64_t r = start; r < rows; ++r) {
      if (!contains(MSFlexGrid1.cellView(r, c), needle)) continue;
      MSFlexGrid1.Row = r;
      MSFlexGrid1.Col = c;
      Text7.setText(NumText(r + 1));
      const Text id = MSFlexGrid1.TextMatrix(r, 0);
      if (seekPlaceById(id)) {
        Data2.setIndex("ID");
        Data2.Seek("=", id);
      }
      break;
    }
  }
  if (Text5.text() == Text8.text()) {
    Text7.setText(u"0");
    Text8.setText(u"");
    Text9.setText(u"");
    Text9.SetFocus();
  }
  if (Label2.BackColor == kPlaceListFound) {
    DBGrid1.Visible = DBGrid2.Visible = false;
    Label4.Left = 3286;
    Label3.setCaption(u"  世界地名——中文列表:");
    Label5.Visible = true;
    Picture3.Visible = false;
    RichTextBox1.Visible = RichTextBox2.Visible = RichTextBox6.Visible = true;
    RichTextBox6.Width = 3674;
    RichTextBox1.Move(288, 398, 3038, 2810);
    RichTextBox2.Move(3344, 398, 2608, 2810);
    Label2.BackColor = kButtonFace;
  }
}

// ListAllPlaceMatches: every place whose ID, then whose joined search text,
// holds the search text. Each hit is the place with the ID its row holds;
// its names come from the place table in stored order, the lists are
// written once, and the table ends on the last hit.
void frm世界地名::Command30_Click() {
  RichTextBox1.setText(u"");
  RichTextBox2.setText(u"");
  const Text needle = Text9.text();
  const int64_t rows = MSFlexGrid1.Rows();
  GridSource* places = DBGrid1.source();
  const int64_t zhCol = places->gridColumn(u"ZD2"), westCol = places->gridColumn(u"ZD1");
  Text zh, west, lastId;
  for (int64_t c = 0; c <= 1; ++c) {
    for (int64_t r = 0; r < rows; ++r) {
      if (!contains(MSFlexGrid1.cellView(r, c), needle)) continue;
      MSFlexGrid1.Row = r;
      MSFlexGrid1.Col = c;
      const TextView id = MSFlexGrid1.cellView(r, 0);
      const int64_t row = placeRowById(id);
      if (row < 0) continue;
      zh += places->gridCellView(row, zhCol);
      zh += CRLF;
      west += places->gridCellView(row, westCol);
      west += CRLF;
      lastId = Text(id);
    }
  }
  if (!lastId.empty()) {
    seekPlaceById(lastId);
    Text8.setText(Text5.text());
  }
  RichTextBox1.setText(zh);
  RichTextBox1.setSelStart(Len(zh));
  RichTextBox2.setText(west);
  RichTextBox2.setSelStart(Len(west));
  Text7.setText(u"0");
  if (!RichTextBox1.text().empty()) Label2.BackColor = kPlaceListFound;
}

// The stored position of the place with this ID in the place table, or -1.
// Records stand in stored order, so their IDs ascend.
int64_t frm世界地名::placeRowById(TextView id) {
  GridSource* g = DBGrid1.source();
  const auto key = idNumber(id);
  if (!key) return -1;
  int64_t lo = 0, hi = g->gridRows();
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    const auto v = idNumber(g->gridCellView(mid, 0));
    if (v && *v < *key)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo < g->gridRows() && idNumber(g->gridCellView(lo, 0)) == key ? lo : -1;
}

// SelectPlaceListLine: the clicked line shows its place, and the place's
// other name is highlighted in the other list.
void frm世界地名::selectListLine(RichTextBox& list, const std::string& nameIndex, TextBox& partnerName,
                                 RichTextBox& partner) {
  list.SetFocus();
  if (list.SelStart() != 0) list.UpTo(u"\n", false, false);
  list.setSelLength(0);
  list.Span(u"\r", true, true);
  const Text line = list.SelText();
  if (!line.empty()) {
    Text7.setText(u"0");
    const int64_t rows = MSFlexGrid1.Rows();
    for (int64_t r = 0; r < rows; ++r) {
      if (!contains(MSFlexGrid1.cellView(r, 1), line)) continue;
      Data1.setIndex(nameIndex);
      Data1.Seek("=", line);
      break;
    }
  }
  const Text name = partnerName.text();
  auto highlight = [&](int64_t p) {
    partner.setSelStart(p - 1);
    partner.setSelLength(Len(name));
    setTitle(RichTextBox1.SelText());
  };
  int64_t p = InStr(PlaceScanPosition + 1, partner.text(), name);
  PlaceScanPosition = p;
  if (p > 0) {
    highlight(p);
    return;
  }
  partner.setSelStart(0);
  p = InStr(1, partner.text(), name);
  PlaceScanPosition = p;
  if (p > 0) highlight(p);
}

void frm世界地名::RichTextBox1_SelChange() { selectListLine(RichTextBox1, "ZD2", Text4, RichTextBox2); }
void frm世界地名::RichTextBox2_SelChange() { selectListLine(RichTextBox2, "ZD1", Text3, RichTextBox1); }

// FollowPlaceLink: the box's text as a Western name. While modify mode has
// unlocked the box, a press only places the caret for editing.
void frm世界地名::followLink(TextBox& box) {
  if (!box.Locked) return;
  Data3.setIndex("ZD1");
  Data3.Seek("=", box.text());
  if (Data3.NoMatch()) return;
  seekPlaceById(Text22.text());
}

void frm世界地名::Text43_MouseDown() { followLink(Text43); }
void frm世界地名::Text45_MouseDown() { followLink(Text45); }

}  // namespace zuvo
