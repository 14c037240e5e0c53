// The place batch writers: every line of a checked file becomes one record
// in each of the three place tables, written through their bound boxes. An
// import lands whole or not at all: its records are committed together once
// the last line is written, and the success message comes after the commit.
// A write that fails drops the whole import and is reported with its line.

#include <algorithm>

#include "places/place_window.h"
#include "store/batch_transaction.h"

namespace zuvo {

void frm世界地名::writePlaceLines(int columns, bool tick,
                                  const std::function<void(const std::vector<TextView>&)>& write) {
  // The lines are read where they stand; at the end the panel holds what
  // cutting them out one by one would have left: the CR LF of every written
  // line, then the text from the first empty line on.
  const Text& text = RichTextBox4.text();
  const FormatRuns& formats = RichTextBox4.formats();
  RichDocument left;
  size_t pos = static_cast<size_t>(RichTextBox4.SelStart());
  int64_t written = 0;
  std::vector<TextView> cols(columns);
  BatchTransaction batch{&Data1, &Data2, &Data3};
  try {
    for (;;) {
      size_t end = pos < text.size() ? text.find(CR, pos) : text.size();
      if (end == Text::npos) end = text.size();
      Text20.setText(TextView(text).substr(std::min(pos, text.size()), end - std::min(pos, text.size())));
      if (Text20.text().empty()) break;
      if (tick) Command53_Click();  // StepPlaceProgress
      // Every line holds the format's "/" count: its check saw to that.
      TextView line = Text20.text();
      for (int c = 0; c < columns; ++c) {
        const size_t slash = c + 1 < columns ? line.find(u'/') : TextView::npos;
        cols[c] = line.substr(0, slash);
        line = slash == TextView::npos ? TextView() : line.substr(slash + 1);
      }
      const size_t kept = std::min(end + 2, text.size());
      left.text.append(text, end, kept - end);
      left.formats.append(formats, static_cast<int64_t>(end), static_cast<int64_t>(kept));
      pos = end + 2;
      write(cols);
      ++written;
    }
    left.text.append(text, std::min(pos, text.size()));
    left.formats.append(formats, static_cast<int64_t>(pos), formats.size());
    // Nothing of the import stays behind in the entry boxes for the next
    // single add.
    emptyBoxes({&Text12, &Text13, &Text14, &Text21, &Text60, &Text62, &Text63, &Text66, &Text67, &Text68, &Text69,
                &Text70, &Text71, &Text72, &Text73, &Text74, &Text75, &Text76, &Text77, &Text10, &Text48, &Text54,
                &Text61, &Text64, &Text65});
    // The moves save the last line's records.
    Data1.MoveFirst();
    Data2.MoveFirst();
    Data3.MoveFirst();
  } catch (const std::exception& e) {
    // A failed save: nothing stored, and the window goes back to how it
    // stood before the press, the file still in its panel.
    batch.rollback();
    throw SaveFailed(toUtf8(u"批量地名添加失败，未存入任何记录：第 " + NumText(std::max<int64_t>(written, 1)) +
                            u" 行\r\n") +
                     e.what());
  }
  try {
    batch.commit();
  } catch (const std::exception& e) {
    throw SaveFailed("批量地名添加失败，未存入任何记录：\r\n" + std::string(e.what()));
  }
  RichTextBox4.setDocument(std::move(left));
  ProgressBar1.Visible = false;
  app().msgBox(u"恭喜您顺利完成批量地名添加！", u" ZORVEK");
}

// ImportTwoFieldPlaces: Western name / Chinese name.
void frm世界地名::Command44_Click() {
  writePlaceLines(2, false, [this](const std::vector<TextView>& c) {
    Text12.setText(c[0]);
    Text13.setText(c[1]);
    Data1.AddNew();
    Data2.AddNew();
    Data3.AddNew();
    Text4.setText(Text12.text());
    Text3.setText(Text13.text());
    Text23.setText(Text12.text());
    Text24.setText(Text13.text());
    Text11.setText(Text12.text() + u"/" + Text13.text());
  });
}

void frm世界地名::Command43_Click() { importThreeFieldPlaces(false); }

// ImportThreeFieldPlaces: Western name / Chinese name / introduction. A
// reshaped line (Chinese name //Western name / introduction) is written
// with its names in their own fields.
void frm世界地名::importThreeFieldPlaces(bool reshaped) {
  writePlaceLines(reshaped ? 4 : 3, false, [this, reshaped](const std::vector<TextView>& c) {
    if (reshaped)
      writeNamedPlace({c[2], c[0], c[3]});
    else
      writeNamedPlace({c[0], c[1], c[2]});
  });
}

// ImportFourFieldPlaces: the fourth column goes only into the name index.
void frm世界地名::Command36_Click() {
  writePlaceLines(4, false, [this](const std::vector<TextView>& c) { writeNamedPlace({c[0], c[1], c[2], c[3]}); });
}

// One place of a three- or four-column line: Western name, Chinese name,
// introduction and, given a fourth column, the name index's ZD4.
void frm世界地名::writeNamedPlace(std::initializer_list<TextView> columns) {
  const TextView* c = columns.begin();
  const bool fourth = columns.size() == 4;
  Text12.setText(c[0]);
  Text13.setText(c[1]);
  Text14.setText(c[2]);
  if (fourth) Text21.setText(c[3]);
  Data1.AddNew();
  Data2.AddNew();
  Data3.AddNew();
  Text4.setText(Text12.text());
  Text3.setText(Text13.text());
  Text27.setText(Text14.text());
  if (fourth) Text10.setText(Text21.text());
  Text23.setText(Text12.text());
  Text24.setText(Text13.text());
  Text25.setText(Text14.text());
  if (fourth) Text26.setText(Text21.text());
  Text11.setText(Text12.text() + u"/" + Text13.text() + u"/" + Text14.text());
}

// ImportEighteenFieldPlaces: a place with its details; columns 12 to 16 are
// kept nowhere, column 18 only in the name index.
void frm世界地名::Command42_Click() {
  writePlaceLines(18, true, [this](const std::vector<TextView>& c) {
    std::array<TextBox*, 18> cut{&Text12, &Text13, &Text14, &Text60, &Text62, &Text63, &Text66, &Text67, &Text68,
                                 &Text69, &Text70, &Text71, &Text72, &Text73, &Text74, &Text75, &Text76, &Text77};
    for (size_t i = 0; i < cut.size(); ++i) cut[i]->setText(c[i]);
    Data1.AddNew();
    Data2.AddNew();
    Data3.AddNew();
    // Columns 1 to 17 into PlaceStore's boxes (12 to 16 into unbound ones).
    std::array<TextBox*, 17> into{&Text4,  &Text3,  &Text43, &Text46, &Text45, &Text34, &Text36, &Text38, &Text40,
                                  &Text29, &Text31, &Text48, &Text54, &Text61, &Text64, &Text65, &Text27};
    for (size_t i = 0; i < into.size(); ++i) into[i]->setText(cut[i]->text());
    Text23.setText(Text12.text());
    Text24.setText(Text13.text());
    Text25.setText(Text76.text());
    Text26.setText(Text77.text());
    Text11.setText(Text12.text() + Text13.text() + u"/" + Text76.text());
  });
}

}  // namespace zuvo
