// The two steps every new verb goes through, whether typed into the verb
// entry panel or read from a batch file: its root, and its participle and
// gerund from the worker FMff.

#include <algorithm>

#include "app/FrmLexaro.h"
#include "entries/FMff.h"

namespace zuvo {

// DeriveVerbRoot: the infinitive in Text84 and Text85 on entry; Text84 holds
// the root's length and Text85 the root on exit. The root is the infinitive
// without its last two characters; a shorter infinitive has the root "".
void FrmLexaro::Command6_Click() {
  Text84.setText(NumText(Len(Text84.text())));
  const int64_t rootLength = std::max<int64_t>(0, static_cast<int64_t>(Val(Text84.text())) - 2);
  Text84.setText(NumText(rootLength));
  Text85.setText(zuvo::Left(Text85.text(), rootLength));
}

Text FrmLexaro::deriveVerbRoot(TextView infinitive) {
  Text84.setText(infinitive);
  Text85.setText(infinitive);
  Command6_Click();  // DeriveVerbRoot, the hidden button's Click called as a subroutine
  return Text85.text();
}

// VerbFormsRequest: the worker writes the participle into Text97 and the
// gerund into Text96, the bound boxes of the current verb record, and leaves
// them as they were when no rule applies. A text of fewer than two
// characters is no infinitive and is not sent.
void FrmLexaro::requestVerbForms(TextView infinitive) {
  if (Len(infinitive) < 2) return;
  FMff& worker = app().form<FMff>();
  worker.Text94.setText(infinitive);
  worker.Command1.setValue(true);
  worker.Command6.setValue(true);
}

}  // namespace zuvo
