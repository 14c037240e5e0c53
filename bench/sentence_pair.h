#pragma once
// A sentence pair saved through the main window in one event, as the entry
// panel saves it: the Chinese, the Spanish and their search line.

#include "app/FrmLexaro.h"
#include "big_dictionary.h"

namespace zuvo::bench {

inline void saveSentencePair(BigProgram& program, const Text& zh, const Text& es) {
  FrmLexaro& f = program.main;
  program.app.event([&] {
    f.Data1.AddNew();
    f.Data2.AddNew();
    f.Text2.setText(zh);
    f.Text3.setText(es);
    f.Text14.setText(zh + u"/" + es);
    f.Data1.MoveLast();
    f.Data2.MoveLast();
  });
}

}  // namespace zuvo::bench
