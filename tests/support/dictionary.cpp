#include "support/dictionary.h"

#include <gtest/gtest.h>

namespace zuvo::testing {

void writeDictionary(const std::filesystem::path& dataDir, const std::vector<SentencePair>& sentences,
                     const std::vector<VerbRow>& verbs, const std::vector<WordRow>& words) {
  Program p(dataDir);
  p.event([&] {
    FrmLexaro& f = p.form<FrmLexaro>();
    for (const auto& s : sentences) {
      f.Data1.AddNew();
      f.Text2.setText(s.zh);
      f.Text3.setText(s.es);
      f.Data2.AddNew();
      f.Text14.setText(s.zh + u"/" + s.es);
    }
    for (const auto& v : verbs) {
      f.Data3.AddNew();
      f.Text92.setText(v.infinitive);
      f.Text64.setText(Left(v.infinitive, Len(v.infinitive) - 2));
      f.Text91.setText(v.meaning);
      f.Text90.setText(v.examples);
      f.Data4.AddNew();
      f.Text63.setText(v.infinitive);
      f.Text108.setText(Left(v.infinitive, Len(v.infinitive) - 2));
      f.Text73.setText(v.meaning);
      f.Data5.AddNew();
      f.Text107.setText(v.meaning);
      f.Text9.setText(v.examples);
      f.Text87.setText(v.infinitive);
    }
    for (const auto& w : words) {
      f.Data6.AddNew();
      f.Text51.setText(w.key);
      f.Text112.setText(w.spanish);
      f.Text113.setText(w.meaning);
      f.Text39.setText(w.phrases);
      f.Data7.AddNew();
      f.Text31.setText(w.spanish + u"◆" + w.meaning);
      f.Text36.setText(w.key);
    }
    for (DataSource* d : {&f.Data1, &f.Data2, &f.Data3, &f.Data4, &f.Data5, &f.Data6, &f.Data7}) d->MoveFirst();
  });
}

std::vector<std::string> onDisk(const std::filesystem::path& file, const std::string& sql) {
  return tableRows(file, sql, ":");
}

FrmLexaro& startMainWindow(Program& p) {
  FrmLexaro* f = nullptr;
  p.event([&] {
    f = &p.form<FrmLexaro>();
    f->Show();
  });
  return *f;
}

}  // namespace zuvo::testing
