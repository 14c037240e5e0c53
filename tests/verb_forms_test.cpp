// The participle-and-gerund worker FMff, driven as the main window drives
// it: the stored request (Text94, Command1, Command6) answering into
// FrmLexaro.Text97/Text96, and the entry panel preview (Command2) reading
// FrmLexaro.Text72 and answering into FrmLexaro.Text118/Text117.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FrmLexaro.h"
#include "entries/FMff.h"
#include "support/test_support.h"

namespace zuvo {
namespace {

using testing::Program;
using testing::TempDir;

// What an output box holds when the worker did not write it.
constexpr char16_t kUntouched[] = u"(untouched)";

struct FormsCase {
  std::u16string infinitive;
  std::u16string participle;
  std::u16string gerund;
};

class VerbFormsTest : public ::testing::Test {
 protected:
  TempDir dir;
  Program p{dir.path()};
  FrmLexaro& lexaro = p.form<FrmLexaro>();
  FMff& w = p.form<FMff>();

  TextBox& entryBox() { return lexaro.Text72; }

  // The stored request, as the verb save and the batch import make it.
  void request(const std::u16string& infinitive) {
    p.event([&] {
      w.Text94.setText(infinitive);
      w.Command1.setValue(true);
      w.Command6.setValue(true);
    });
  }
  // The preview after a key release in the entry panel's infinitive box.
  void preview(const std::u16string& typed) {
    p.event([&] {
      entryBox().setText(typed);
      w.Command2.setValue(true);
    });
  }
  void markRecordForms() {
    lexaro.Text97.setText(kUntouched);
    lexaro.Text96.setText(kUntouched);
  }
  void expectRecordForms(const FormsCase& c) {
    SCOPED_TRACE("infinitive \"" + toUtf8(c.infinitive) + "\"");
    EXPECT_EQ(toUtf8(lexaro.Text97.text()), toUtf8(c.participle)) << "participle";
    EXPECT_EQ(toUtf8(lexaro.Text96.text()), toUtf8(c.gerund)) << "gerund";
  }
  void expectPreviewForms(const std::u16string& typed, const std::u16string& participle,
                          const std::u16string& gerund) {
    SCOPED_TRACE("typed \"" + toUtf8(typed) + "\"");
    EXPECT_EQ(toUtf8(lexaro.Text118.text()), toUtf8(participle)) << "participle preview";
    EXPECT_EQ(toUtf8(lexaro.Text117.text()), toUtf8(gerund)) << "gerund preview";
  }
  // Each case asked right after the record's forms were blanked, as the verb
  // save asks after AddNew; the cases run one after another on one worker.
  void expectForms(const std::vector<FormsCase>& cases) {
    for (const FormsCase& c : cases) {
      lexaro.Text97.setText(u"");
      lexaro.Text96.setText(u"");
      request(c.infinitive);
      expectRecordForms(c);
    }
  }
};

TEST_F(VerbFormsTest, RegularVerbsTakeTheRegularEndings) {
  expectForms({
      {u"hablar", u"hablado", u"hablando"},
      {u"comer", u"comido", u"comiendo"},
      {u"vivir", u"vivido", u"viviendo"},
      {u"recomendar", u"recomendado", u"recomendando"},
      {u"Hablar", u"Hablado", u"Hablando"},
      // The endings alone: the stem is empty.
      {u"ar", u"ado", u"ando"},
      {u"er", u"ido", u"iendo"},
      // Verbs the irregular rows do not name fall to the regular rule.
      {u"devolver", u"devolvido", u"devolviendo"},
      {u"construir", u"construido", u"construiendo"},
      {u"prever", u"prevido", u"previendo"},
      // Without its accent "oír" is no irregular verb.
      {u"oir", u"oido", u"oiendo"},
  });
}

TEST_F(VerbFormsTest, IrregularVerbsTakeTheirOwnForms) {
  expectForms({
      {u"decir", u"dicho", u"diciendo"},
      {u"henchir", u"henchido", u"hinchendo"},
      {u"erguir", u"erguido", u"irguiendo"},  // not erguiendo by "guir"
      {u"hacer", u"hecho", u"haciendo"},
      {u"ir", u"ido", u"yendo"},
      {u"oír", u"oído", u"oyendo"},
      {u"poder", u"podido", u"pudiendo"},
      {u"podrir", u"podrido", u"pudriendo"},
      {u"pudrir", u"podrido", u"pudriendo"},
      {u"poner", u"puesto", u"poniendo"},
      {u"traer", u"traído", u"trayendo"},  // not traido by "traer"
      {u"venir", u"venido", u"viniendo"},
      {u"ver", u"visto", u"viendo"},
      {u"abrir", u"abierto", u"abriendo"},
      {u"cubrir", u"cubierto", u"cubriendo"},
      {u"absolver", u"absuelto", u"absolviendo"},
      {u"disolver", u"disuelto", u"disolviendo"},
      {u"escribir", u"escrito", u"escribiendo"},
      {u"imprimir", u"impreso", u"imprimiendo"},
      {u"resolver", u"resuelto", u"resolviendo"},
      {u"volver", u"vuelto", u"volviendo"},
      {u"satisfacer", u"satisfecho", u"satisfaciendo"},
      {u"romper", u"roto", u"rompiendo"},
      {u"freir", u"frito", u"freyendo"},     // not by "eir"
      {u"morir", u"muerto", u"muriendo"},    // not by "orir"
      {u"dormir", u"dormido", u"durmiendo"}, // the participle on its stem
      {u"reír", u"reído", u"riendo"},
      {u"seguir", u"seguido", u"siguiendo"}, // not seguiendo by "guir"
      {u"huir", u"huido", u"huyendo"},
      {u"caer", u"caído", u"cayendo"},
      {u"roer", u"roído", u"royendo"},
      {u"raer", u"raído", u"rayendo"},
      {u"taňer", u"taňido", u"taňendo"},
      {u"ceňir", u"ceňido", u"ciňendo"},
  });
}

TEST_F(VerbFormsTest, EndingPatternsBuildOnTheStem) {
  expectForms({
      {u"empeller", u"empellido", u"empellendo"},        // "ller"
      {u"teňir", u"teňido", u"tiňendo"},                 // "eňir" before "ňir"
      {u"mentir", u"mentido", u"mintiendo"},             // "entir"
      {u"adormir", u"adormido", u"adurmiendo"},          // "ormir"
      {u"contraer", u"contraido", u"contrayendo"},       // "traer"
      {u"convertir", u"convertido", u"convirtiendo"},    // "ertir"
      {u"conseguir", u"conseguido", u"conseguiendo"},    // "guir"
      {u"distinguir", u"distinguido", u"distinguiendo"}, // "guir"
      {u"preferir", u"preferido", u"prefiriendo"},       // "erir"
      {u"herir", u"herido", u"hiriendo"},                // "erir"
      {u"premorir", u"premorido", u"premuriendo"},       // "orir"
      {u"corregir", u"corregido", u"corrigiendo"},       // "egir"
      {u"medir", u"medido", u"midiendo"},                // "edir"
      {u"bullir", u"bullido", u"bullendo"},              // "llir"
      {u"sonreir", u"sonreido", u"sonriendo"},           // "eir"
      {u"ataňer", u"ataňido", u"ataňendo"},              // "ňer"
      {u"gruňir", u"gruňido", u"gruňendo"},              // "ňir"
      {u"creer", u"creído", u"creyendo"},                // "eer"
      {u"poseer", u"poseído", u"poseyendo"},             // "eer"
  });
}

TEST_F(VerbFormsTest, AFinalSeIsLeftOutOfTheForms) {
  expectForms({
      {u"lavarse", u"lavado", u"lavando"},
      {u"moverse", u"movido", u"moviendo"},
      // The irregular rows compare the whole text, the patterns the bare verb.
      {u"dormirse", u"dormido", u"durmiendo"},
      {u"sentirse", u"sentido", u"sintiendo"},
      {u"conseguirse", u"conseguido", u"conseguiendo"},
      {u"decirse", u"decido", u"deciendo"},
      {u"ponerse", u"ponido", u"poniendo"},
      {u"verse", u"vido", u"viendo"},
      {u"irse", u"ido", u"iendo"},
  });
}

// Each case is asked after "hablar", so that a worker that skipped preparing
// the new text would still answer with the forms of hablar; and hablar is
// served again after each of them.
TEST_F(VerbFormsTest, TextsNoRuleFitsLeaveTheFormsAsTheyWere) {
  const std::vector<std::u16string> texts = {
      u"",       u"se",    u"a",       u"ase",     u"ab",      u"hablarx", u"Ar",
      u"HABLAR", u"DECIR", u"freír",   u"sonreír", u"lavarSE", u"lavarSe", u"lavarsese",
  };
  for (const std::u16string& text : texts) {
    request(u"hablar");
    expectRecordForms({u"hablar", u"hablado", u"hablando"});
    markRecordForms();
    request(text);
    expectRecordForms({text, kUntouched, kUntouched});
  }
  EXPECT_TRUE(p.dialogs().messages.empty());
}

TEST_F(VerbFormsTest, AskingAgainForTheSameVerbGivesTheSameForms) {
  for (const FormsCase& c : std::vector<FormsCase>{
           {u"decir", u"dicho", u"diciendo"},
           {u"conseguir", u"conseguido", u"conseguiendo"},
           {u"hablar", u"hablado", u"hablando"},
       }) {
    expectForms({c, c});
  }
}

TEST_F(VerbFormsTest, TheStoredRequestReusesWhatThePreviewPrepared) {
  preview(u"decir");
  expectPreviewForms(u"decir", u"dicho", u"diciendo");
  markRecordForms();
  request(u"decir");
  expectRecordForms({u"decir", u"dicho", u"diciendo"});

  preview(u"vivir");
  expectPreviewForms(u"vivir", u"vivido", u"viviendo");
  request(u"vivir");
  expectRecordForms({u"vivir", u"vivido", u"viviendo"});
  // Each request wrote its own boxes only.
  expectPreviewForms(u"vivir", u"vivido", u"viviendo");
}

TEST_F(VerbFormsTest, ThePreviewFillsOnlyOnceTheTypedTextIsAVerb) {
  markRecordForms();
  p.event([&] {
    lexaro.Text118.setText(u"分词");
    lexaro.Text117.setText(u"副动词");
  });
  struct Step {
    std::u16string typed;
    std::u16string participle, gerund;
    std::u16string length;  // what the length test leaves in Text2
  };
  const std::vector<Step> steps = {
      {u"h", u"分词", u"副动词", u"0"},
      {u"ha", u"分词", u"副动词", u"2"},
      {u"hab", u"分词", u"副动词", u"3"},
      {u"habl", u"分词", u"副动词", u"4"},
      {u"habla", u"分词", u"副动词", u"5"},
      {u"hablar", u"hablado", u"hablando", u"6"},
      {u"hablarx", u"hablado", u"hablando", u"7"},
      // Back to one letter: the last forms stay.
      {u"h", u"hablado", u"hablando", u"0"},
      {u"i", u"hablado", u"hablando", u"0"},
      {u"ir", u"ido", u"yendo", u"2"},
      {u"irs", u"ido", u"yendo", u"3"},
      {u"irse", u"ido", u"iendo", u"4"},
      // "ase" leaves a one-letter bare infinitive on the way to asentir.
      {u"a", u"ido", u"iendo", u"0"},
      {u"as", u"ido", u"iendo", u"2"},
      {u"ase", u"ido", u"iendo", u"3"},
      {u"asen", u"ido", u"iendo", u"4"},
      {u"asent", u"ido", u"iendo", u"5"},
      {u"asenti", u"ido", u"iendo", u"6"},
      {u"asentir", u"asentido", u"asintiendo", u"7"},
      // Ten letters pass the length test, compared as text with "1".
      {u"recomendar", u"recomendado", u"recomendando", u"10"},
      {u"", u"recomendado", u"recomendando", u"0"},
  };
  for (const Step& s : steps) {
    preview(s.typed);
    expectPreviewForms(s.typed, s.participle, s.gerund);
    EXPECT_EQ(toUtf8(w.Text2.text()), toUtf8(s.length)) << "typed \"" << toUtf8(s.typed) << "\"";
  }
  // The preview never writes the verb record's forms.
  expectRecordForms({u"", kUntouched, kUntouched});
}

// The verb view tests a text's length this way before it asks for forms.
TEST_F(VerbFormsTest, TheLengthTestCountsCharacters) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"a", u"1"}, {u"ir", u"2"}, {u"taňer", u"5"}, {u"recomendar", u"10"}, {u"", u"0"},
  };
  for (const auto& [text, length] : cases) {
    p.event([&] { w.Text1.setText(text); });
    EXPECT_EQ(toUtf8(w.Text2.text()), toUtf8(length)) << toUtf8(text);
  }
}

TEST_F(VerbFormsTest, TheWorkerStaysHidden) {
  preview(u"hablar");
  request(u"comer");
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.Caption, u"分词/副动词");
}

}  // namespace
}  // namespace zuvo
