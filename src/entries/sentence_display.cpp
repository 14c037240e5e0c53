// The current sentence pair on show: the Change handlers of the boxes bound
// to SentenceStore. They run on every move of the store and on every write
// of the bound boxes, whoever makes it.

#include "app/FrmLexaro.h"

namespace zuvo {

// ShowChineseSentence
void FrmLexaro::Text2_Change() {
  RichTextBox13.setText(Text2.text());
  Text13.setText(Text2.text());
  Text37.setText(Text2.text());
}

// ShowSpanishSentence
void FrmLexaro::Text3_Change() {
  RichTextBox7.setText(Text3.text());
  RichTextBox6.setText(Text3.text());
  Text20.setText(Text3.text());
  Text48.setText(Text3.text());
}

// SyncSentenceTablesById: the pair's search record follows. A blank ID (no
// current record) seeks nothing, which leaves the partner without one too.
void FrmLexaro::Text23_Change() {
  Data2.setIndex("ID");
  Data2.Seek("=", Text23.text());
}

// The edit panel's boxes follow the pair on show.
void FrmLexaro::Text13_Change() { Text40.setText(Text13.text()); }

void FrmLexaro::Text20_Change() { Text41.setText(Text20.text()); }

}  // namespace zuvo
