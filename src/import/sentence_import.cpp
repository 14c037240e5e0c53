// The sentence batch import: every line of a clean sentence file becomes one
// sentence pair, a record in SentenceStore and its search record in
// SentenceSearchStore. The file lands whole or not at all.

#include "app/FrmLexaro.h"
#include "import/batch_lines.h"
#include "store/batch_transaction.h"

namespace zuvo {

// The import fails as a save: nothing of it is stored, and the window goes
// back to how it stood before the press, the file still in its pane for
// the same button to import once the cause is gone.
void FrmLexaro::failImport(const std::exception& e) {
  throw SaveFailed("批量添加失败，未存入任何记录：\r\n" + std::string(e.what()));
}

// ImportSentenceBatch
void FrmLexaro::Command22_Click() {
  BatchTransaction batch{&Data1, &Data2};
  try {
    // The lines are read where they stand; the pane is emptied at the end.
    BatchLines lines(RichTextBox1.text());
    Text searchText;  // Zd1 of each line, in one buffer
    while (auto line = lines.next()) {
      Text19.setText(*line);
      const size_t slash = line->find(u'/');
      Text43.setText(line->substr(0, slash));
      Text42.setText(line->substr(slash + 1));  // ClearLoneBlank: a lone blank goes
      Data1.AddNew();
      Data2.AddNew();
      Text2.setText(Text43.text());
      Text3.setText(Text42.text());
      searchText.assign(Text43.text()).append(1, u'/').append(Text42.text());
      Text14.setText(searchText);
    }
    RichTextBox1.setText(u"");
    RichTextBox2.setText(u"");
    Text42.setText(u"");
    Text43.setText(u"");
    // The moves save the last line's records; on an empty store there is
    // nothing to move to.
    if (lines.count() > 0 || Data1.hasCurrent()) {
      Data1.MoveFirst();
      Data2.MoveFirst();
    }
    batch.commit();
  } catch (const std::exception& e) {
    batch.rollback();
    failImport(e);
  }
  message(u"恭喜您顺利完成批量句子添加！");
}

}  // namespace zuvo
