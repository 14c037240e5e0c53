// The verb batch imports: every line of a clean six- or eight-field verb
// file becomes one record in each of VerbStore, VerbFormStore and
// VerbSearchStore, with its root; six-field lines also get their participle
// and gerund. After the last line every verb whose examples were never split
// is split. The file lands whole or not at all.

#include <array>

#include "app/FrmLexaro.h"
#include "import/batch_lines.h"
#include "store/batch_transaction.h"

namespace zuvo {

namespace {
// The line's fields: each of the first n-1 runs up to the next "/", the last
// to the end of the line (the check has made sure of the count).
template <size_t N>
std::array<TextView, N> fieldsOf(TextView line) {
  std::array<TextView, N> out;
  for (size_t i = 0; i + 1 < N; ++i) {
    const size_t slash = line.find(u'/');
    out[i] = line.substr(0, slash);
    line.remove_prefix(slash + 1);
  }
  out[N - 1] = line;
  return out;
}
}  // namespace

void FrmLexaro::importVerbs(bool eightFields) {
  BatchTransaction batch{&Data3, &Data4, &Data5};
  try {
    BatchLines lines(RichTextBox1.text());
    while (auto line = lines.next()) {
      Text19.setText(*line);
      if (eightFields) {
        const auto f = fieldsOf<8>(*line);
        Text42.setText(f[0]);  // ClearLoneBlank
        Text43.setText(f[2]);
        Text46.setText(f[3]);
        Text47.setText(f[4]);
        Text114.setText(f[5]);  // CleanSynonymBox: a lone blank goes, "?" becomes "ň"
        Text117.setText(f[6]);
        Text118.setText(f[7]);
      } else {
        const auto f = fieldsOf<6>(*line);
        Text42.setText(f[0]);
        Text43.setText(f[2]);
        Text46.setText(f[3]);
        Text47.setText(f[4]);
        Text114.setText(f[5]);
      }
      Data3.AddNew();
      Data4.AddNew();
      Data5.AddNew();
      if (!eightFields) requestVerbForms(Text42.text());
      Text7.setText(Text42.text());
      Text93.setText(Text43.text());
      Text94.setText(Text46.text());
      Text91.setText(Text47.text());
      Text90.setText(Text114.text());
      if (eightFields) {
        Text26.setText(Text117.text());
        Text27.setText(Text118.text());
      }
      Text63.setText(Text42.text());
      Text73.setText(Text47.text());
      Text87.setText(Text42.text());
      Text107.setText(Text47.text());
      Text9.setText(Text114.text());
      const Text root = deriveVerbRoot(Text42.text());
      Text108.setText(root);
      Text64.setText(root);
    }
    for (TextBox* b : {&Text42, &Text43, &Text46, &Text47, &Text114}) b->setText(u"");
    if (eightFields) Text117.setText(u""), Text118.setText(u"");
    RichTextBox1.setText(u"");
    RichTextBox2.setText(u"");
    Data3.MoveFirst();
    Command68_Click();  // SplitAllVerbExamples
    Data3.MoveFirst();
    Data4.MoveFirst();
    Data5.MoveFirst();
    batch.commit();
  } catch (const std::exception& e) {
    batch.rollback();
    failImport(e);
  }
  message(u"恭喜您顺利完成批量动词添加！");
}

// ImportSixFieldVerbs
void FrmLexaro::Command60_Click() { importVerbs(false); }

// ImportEightFieldVerbs
void FrmLexaro::Command64_Click() { importVerbs(true); }

}  // namespace zuvo
