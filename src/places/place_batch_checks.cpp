// The column-order checks of place batch files and the reshaping of
// three-column files. A Western column must begin with a Latin letter, a
// Chinese one must not; misplaced columns are coloured in the panel and set
// a flag, and at the end the file is either written back with its marks and
// refused with a message, or handed to its writer. The checks move the caret
// past a column without rewriting it, so a pass over the panel costs the
// length of its text.

#include "places/place_window.h"

namespace zuvo {

namespace {
constexpr Colour kRed = 255;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kOrderFlag = 0xFF8080;

void bump(TextBox& counter, int delta) { counter.setText(NumText(static_cast<int64_t>(Val(counter.text())) + delta)); }

// The box's text with a "/" put in at each position (ascending); each "/"
// takes the format of the character before it, as typing there does.
RichDocument withSlashesAt(const RichTextBox& box, const std::vector<int64_t>& inserts) {
  const Text& text = box.text();
  const FormatRuns& formats = box.formats();
  RichDocument after;
  after.text.reserve(text.size() + inserts.size());
  size_t from = 0;
  for (const int64_t at : inserts) {
    after.text.append(text, from, at - from);
    after.formats.append(formats, static_cast<int64_t>(from), at);
    after.text += u'/';
    after.formats.append(1, formats.at(at - 1));
    from = at;
  }
  after.text.append(text, from);
  after.formats.append(formats, static_cast<int64_t>(from), formats.size());
  return after;
}
}  // namespace

void frm世界地名::eachPanelLine(const std::function<void()>& step) {
  RichTextBox4.setSelStart(0);
  while (!selectPanelLine().empty()) {
    RichTextBox4.setSelLength(0);
    Command53_Click();  // StepPlaceProgress
    step();
  }
  RichTextBox4.setSelStart(0);
}

// --- two and four columns ---------------------------------------------------------

// CheckTwoFieldPlaceOrder: Western name / Chinese name.
void frm世界地名::Command51_Click() {
  Label8.BackColor = Label12.BackColor = kButtonFace;
  eachPanelLine([this] {
    if (!isLatinColumn(selectPanelColumn(false))) {
      RichTextBox4.setSelColor(kRed);
      Label12.BackColor = kOrderFlag;
    }
    RichTextBox4.setSelStart(RichTextBox4.SelStart() + RichTextBox4.SelLength() + 1);
    if (isLatinColumn(selectPanelColumn(true))) {
      RichTextBox4.setSelColor(kRed);
      Label8.BackColor = kRed;
    }
    nextPanelLine();
  });
  if (Label8.BackColor != kRed) return Command44_Click();  // ImportTwoFieldPlaces
  const bool both = Label12.BackColor == kOrderFlag;
  refusePlaceFile(both ? u"您的格式中有部分内容位置不对！请按要求在 WORD 中检查！"
                       : u"您的格式中全部内容位置颠倒！请按要求在 WORD 中检查！");
  endPlaceCheck();
  Label8.BackColor = kButtonFace;
  if (both) Label12.BackColor = kButtonFace;
}

// CheckFourFieldPlaceOrder: Western name / Chinese name / introduction /
// a Latin fourth column.
void frm世界地名::Command52_Click() {
  Label8.BackColor = Label12.BackColor = kButtonFace;
  eachPanelLine([this] {
    for (int col = 1; col <= 4; ++col) {
      const bool latin = isLatinColumn(selectPanelColumn(col == 4));
      const bool western = col == 1 || col == 4;
      if (western && !latin) {
        Label12.BackColor = kOrderFlag;
        RichTextBox4.setSelColor(kRed);
      } else if (!western && latin) {
        Label8.BackColor = kRed;
        RichTextBox4.setSelColor(kBlue);
      }
      RichTextBox4.setSelStart(RichTextBox4.SelStart() + RichTextBox4.SelLength() + (col == 4 ? 2 : 1));
    }
  });
  if (Label8.BackColor != kRed) {
    if (Label12.BackColor != kOrderFlag) app().msgBox(u"全正常！！！！", u" ZORVEK");
    return Command36_Click();  // ImportFourFieldPlaces
  }
  if (Label12.BackColor == kOrderFlag) {
    refusePlaceFile(u"您的格式中有部分位置错误！请按要求在 WORD 中检查########！");
    endPlaceCheck();
    Label8.BackColor = Label12.BackColor = kButtonFace;
    return;
  }
  endPlaceCheck();
  Label8.BackColor = kButtonFace;
  refusePlaceFile(u"您的格式中信息位置安排错误！请按要求在 WORD 中检查！！！！");
}

// --- three columns -----------------------------------------------------------------

// RouteThreeFieldPlaces: the order check; then every line whose second
// column is Latin (a Chinese name before the Western one) gets a "/" in front
// of that column; a file with such lines must have them on every line.
// A file that fails is written back and refused, and the user is back in the
// window; nothing of it is stored.
void frm世界地名::Command50_Click() {
  Label14.BackColor = kButtonFace;
  RichTextBox4.setSelStart(0);
  if (!checkThreeFieldOrder()) return;

  // Reshape pass. The "/" go in at the end, all at once: inserting them one
  // by one would copy the rest of the text for every line.
  std::vector<int64_t> inserts;
  eachPanelLine([&] {
    selectPanelColumn(false);
    RichTextBox4.setSelStart(RichTextBox4.SelStart() + RichTextBox4.SelLength() + 1);
    if (isLatinColumn(selectPanelColumn(true))) {
      inserts.push_back(RichTextBox4.SelStart());
      Label14.BackColor = kRed;
    }
    nextPanelLine();
  });
  if (!inserts.empty()) RichTextBox4.setDocument(withSlashesAt(RichTextBox4, inserts));
  RichTextBox4.setSelStart(0);

  const bool reshaped = Label14.BackColor == kRed;
  if (reshaped) {
    if (!recountReshapedLines()) return;
    for (;;) {
      if (selectPanelLine().empty()) break;
      Command53_Click();  // StepPlaceProgress
      nextPanelLine();
    }
    RichTextBox4.setSelStart(0);
  }
  endPlaceCheck();
  Label14.BackColor = kButtonFace;
  importThreeFieldPlaces(reshaped);
}

void frm世界地名::Command55_Click() { checkThreeFieldOrder(); }

// CheckThreeFieldPlaceOrder: accepted when every line reads Latin, not
// Latin, Latin, or when no line's third column is Latin.
bool frm世界地名::checkThreeFieldOrder() {
  for (TextBox* b : {&Text53, &Text55, &Text56, &Text58}) b->setText(u"0");
  eachPanelLine([this] {
    bump(Text55, 1);
    if (isLatinColumn(selectPanelColumn(false)))
      bump(Text53, 1);
    else
      RichTextBox4.setSelColor(kRed);
    RichTextBox4.setSelStart(RichTextBox4.SelStart() + RichTextBox4.SelLength() + 1);
    if (isLatinColumn(selectPanelColumn(false))) {
      bump(Text53, -1);
      RichTextBox4.setSelColor(kBlue);
    }
    RichTextBox4.setSelStart(RichTextBox4.SelStart() + RichTextBox4.SelLength() + 1);
    if (isLatinColumn(selectPanelColumn(true))) {
      bump(Text56, 1);
      RichTextBox4.setSelColor(kBlue);
    } else {
      bump(Text58, 1);
      RichTextBox4.setSelColor(kRed);
    }
    nextPanelLine();
  });
  const Text& lines = Text55.text();
  if ((Text53.text() == lines && Text56.text() == lines) || Text58.text() == lines) return true;
  refusePlaceFile(u"您的格式中有错误！请按要求在 WORD 中检查！");
  endPlaceCheck();
  return false;
}

void frm世界地名::Command54_Click() { recountReshapedLines(); }

// RecountReshapedPlaceLines: after the reshape every line must have 3 "/".
bool frm世界地名::recountReshapedLines() {
  if (checkSlashCounts(3, u"您的格式第三列中有部分错误！请按要求在 WORD 中检查！")) return true;
  endPlaceCheck();
  Label14.BackColor = kButtonFace;
  return false;
}

}  // namespace zuvo
