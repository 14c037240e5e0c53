// The verb and word tables' record-move handlers: the verb's partners follow
// its ID; a word's key word gives LastEnding; "?" in a word's Spanish text
// becomes "ň".

#include "app/FrmLexaro.h"

namespace zuvo {

// SyncVerbTablesById: both partners stand on the verb's ID, with the index
// "ID" left set.
void FrmLexaro::Text75_Change() {
  const Text id = Text75.text();
  Data4.setIndex("ID");
  Data4.Seek("=", id);
  Data5.setIndex("ID");
  Data5.Seek("=", id);
}

// TakeWordEnding: LastEnding is the key word's last two characters.
void FrmLexaro::Text51_Change() { Text29.setText(Right(Text51.text(), 2)); }

void FrmLexaro::restoreEnye(TextBox& box) {
  // Each replacement is a change of the box that runs this again, nested;
  // the outer pass carries on, so the nesting stays one deep however many
  // "?" the text holds.
  if (restoringEnye_ == &box) return;
  restoringEnye_ = &box;
  int64_t pos = InStr(1, box.text(), u"?");
  while (pos > 0) {
    box.setSelStart(pos - 1);
    box.setSelLength(1);
    if (box.SelText() == u"?") box.setSelText(u"ň");
    pos = InStr(pos, box.text(), u"?");
  }
  restoringEnye_ = nullptr;
}

void FrmLexaro::Text112_Change() { restoreEnye(Text112); }

void FrmLexaro::Text39_Change() { restoreEnye(Text39); }

}  // namespace zuvo
