// Random user gestures on the main window over a small dictionary: typing
// letters, digits, Chinese numerals and words, Backspace, Ctrl letters,
// clicks on whatever button or pane the user can reach. The program must
// never crash, hang or lose a stored record, whatever the order.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/FrmLexaro.h"
#include "support/dictionary.h"

namespace zuvo {
namespace {

using namespace zuvo::testing;

TEST(MainWindowFuzz, RandomGesturesNeverBreakTheProgram) {
  TempDir dir;
  writeDictionary(dir.path(), {{u"我说话。", u"Hablo."}, {u"狗在房子里。", u"El perro está en la casa."}},
                  {{u"hablar", u"说", u"Hablo español.\r\nHablamos."}, {u"comer", u"吃", u"Como pan."}},
                  {{u"casa", u"casa", u"房子", u"la casa\r\nuna casa"}});
  constexpr int kSteps = 15000;
  // Another seed can be given by hand to explore further.
  const char* seedText = std::getenv("ZUVO_FUZZ_SEED");
  std::mt19937 rng(seedText ? static_cast<unsigned>(std::stoul(seedText)) : 20261210u);
  const std::vector<Text> pieces = {u"a",     u"b",   u"o",  u"1",  u"2",  u"5",   u"0",    u"%",    u",",
                                    u"一",    u"十",  u"百", u"零", u"年", u"月",  u"日",   u"?",    u" ",
                                    u"casa",  u"说",  u"狗", u"hablar", u"comer", u"perro", u"Hola", u"amigo"};
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };

  auto program = std::make_unique<Program>(dir.path());
  FrmLexaro* w = &startMainWindow(*program);
  int restarts = 0;
  int accepted = 0;  // gestures that reached a control
  for (int step = 0; step < kSteps; ++step) {
    if (program->app().ended()) {
      program = std::make_unique<Program>(dir.path());
      w = &startMainWindow(*program);
      ++restarts;
    }
    User& user = program->user();
    switch (pick(10)) {
      case 0:
      case 1:
      case 2: {
        // Typing goes to whichever box has the focus, else the input box.
        Control* target = w->focused();
        if (!target || (target->kind() != ControlKind::TextBox && target->kind() != ControlKind::RichTextBox))
          target = &w->RichTextBox16;
        accepted += user.type(*target, pieces[pick(pieces.size())]);
        break;
      }
      case 3:
        accepted += user.pressKey(w->RichTextBox16, kKeyBack);
        break;
      case 4:
        accepted += user.ctrlKey(*(w->focused() ? w->focused() : &w->RichTextBox16), "AEINOPU"[pick(7)]);
        break;
      default: {
        // A click on a reachable control of the window.
        std::vector<Control*> targets;
        for (Control* c : w->controls())
          if (c->Visible && c->Enabled && c->kind() != ControlKind::DataSource &&
              c != &w->Command21)  // the exit button ends the run; the close box comes below
            targets.push_back(c);
        if (pick(60) == 0) {
          user.close(*w);
          break;
        }
        if (!targets.empty()) accepted += user.click(*targets[pick(targets.size())], static_cast<int64_t>(pick(8)));
        break;
      }
    }
  }
  program.reset();
  // Every stored record is still there: the two pairs (and any added) read
  // back in order from a fresh start.
  Program check(dir.path());
  FrmLexaro& f = startMainWindow(check);
  EXPECT_GE(f.MSFlexGrid1.Rows(), 2);
  EXPECT_EQ(f.MSFlexGrid1.TextMatrix(0, 0), u"1");
  RecordProperty("restarts", restarts);
  // Most gestures reach the window: the fuzz really drives it.
  EXPECT_GT(accepted, kSteps / 2) << "restarts " << restarts;
  std::printf("accepted %d of %d gestures, %d restarts\n", accepted, kSteps, restarts);
}

}  // namespace
}  // namespace zuvo
