#pragma once
// A data folder with 100,000 sentence pairs, 10,000 verbs with example texts
// and 100,000 words, written once per benchmark run through the main
// window's own stores. Every record carries "grupoK" with K = its number
// modulo 10, so that one input matches a tenth of them.

#include <unistd.h>

#include <filesystem>

#include "app/FrmLexaro.h"
#include "platform/scripted_dialogs.h"

namespace zuvo::bench {

inline std::filesystem::path bigDictionary() {
  static const std::filesystem::path dir = [] {
    auto p = std::filesystem::temp_directory_path() / ("zuvo-bench-dict-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    ScriptedDialogs dialogs;
    Application app(p, dialogs);
    app.event([&] {
      FrmLexaro& f = app.form<FrmLexaro>();
      for (int i = 0; i < 100000; ++i) {
        const Text n = NumText(i);
        const Text group = u" grupo" + NumText(i % 10);
        f.Data1.AddNew();
        f.Text2.setText(u"这是第" + n + u"个句子。");
        f.Text3.setText(u"Esta es la frase número " + n + u"." + group);
        f.Data2.AddNew();
        f.Text14.setText(u"这是第" + n + u"个句子。/Esta es la frase número " + n + u"." + group);
        f.Data6.AddNew();
        f.Text51.setText(u"palabra" + n);
        f.Text112.setText(u"palabra" + n);
        f.Text113.setText(u"词" + n);
        f.Text39.setText(u"una palabra" + n + u"\r\nla palabra" + n);
        f.Data7.AddNew();
        f.Text31.setText(u"palabra" + n + group + u"◆词" + n);
        f.Text36.setText(u"palabra" + n);
        if (i % 10 == 0) {
          const Text examples = u"Ejemplo uno del verbo " + n + u"." + group + u"\r\nOtro ejemplo " + n + u".";
          f.Data3.AddNew();
          f.Text92.setText(u"verbar" + n);
          f.Text91.setText(u"动词" + n);
          f.Text90.setText(examples);
          f.Data4.AddNew();
          f.Text63.setText(u"verbar" + n);
          f.Text108.setText(u"verb" + n);
          f.Data5.AddNew();
          f.Text107.setText(u"动词" + n);
          f.Text9.setText(examples);
          f.Text87.setText(u"verbar" + n);
        }
      }
      for (DataSource* d : {&f.Data1, &f.Data2, &f.Data3, &f.Data4, &f.Data5, &f.Data6, &f.Data7}) d->MoveFirst();
    });
    return p;
  }();
  return dir;
}

// The program started on the big dictionary, its main window shown.
struct BigProgram {
  ScriptedDialogs dialogs;
  Application app{bigDictionary(), dialogs};
  FrmLexaro& main = [this]() -> FrmLexaro& {
    FrmLexaro* f = nullptr;
    app.event([&] {
      f = &app.form<FrmLexaro>();
      f->Show();
    });
    return *f;
  }();
};

}  // namespace zuvo::bench
