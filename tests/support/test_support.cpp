// Shared helpers for tests.
#include "support/test_support.h"

#include <unistd.h>

#include <atomic>
#include <random>
#include <sstream>

#include "platform/grid.h"
#include "platform/rich_text_box.h"
#include "platform/window.h"
#include "store/data_source.h"

namespace zuvo::testing {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("zuvo-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(std::random_device{}()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

namespace {

// A text on one line, its line breaks shown.
std::string oneLine(TextView t) {
  std::string out;
  for (char c : toUtf8(t)) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

}  // namespace

WindowState windowState(Application& app) {
  WindowState state;
  for (Window* w : app.windows()) {
    auto& lines = state.lines[w->name()];
    lines.push_back(std::string("window visible=") + (w->Visible() ? "1" : "0") +
                    " focus=" + (w->focused() ? w->focused()->name() : "-"));
    std::string stacking = "stacking=";
    for (const Control* c : w->stacking()) stacking += c->name() + ",";
    lines.push_back(stacking);
    for (Control* c : w->controls()) {
      std::ostringstream os;
      os << c->name() << " visible=" << c->Visible << " enabled=" << c->Enabled << " at=" << c->Left << ","
         << c->Top << "," << c->Width << "," << c->Height << " back=" << c->BackColor << " fore=" << c->ForeColor
         << " font=" << c->FontSize << "/" << c->FontBold << " tab=" << c->TabIndex << "/" << c->TabStop;
      if (auto* b = dynamic_cast<CommandButton*>(c)) os << " caption=" << oneLine(b->Caption.get());
      if (auto* t = dynamic_cast<TextControl*>(c)) os << " text=" << oneLine(t->text());
      if (auto* t = dynamic_cast<TextBox*>(c))
        os << " sel=" << t->SelStart() << "+" << t->SelLength() << " locked=" << t->Locked;
      if (auto* r = dynamic_cast<RichTextBox*>(c)) {
        os << " runs=";
        for (const auto& run : r->formats().runs())
          os << run.start << ":" << run.format.colour << "/" << run.format.bold << "/" << run.format.size << ";";
      }
      if (auto* s = dynamic_cast<Shape*>(c)) os << " border=" << s->BorderColor << "/" << s->BorderWidth;
      if (auto* p = dynamic_cast<ProgressBar*>(c)) os << " value=" << p->Value << " of " << p->Min << "-" << p->Max;
      if (auto* g = dynamic_cast<FlexGrid*>(c)) os << " cell=" << g->Row << "," << g->Col;
      if (auto* g = dynamic_cast<DataGrid*>(c)) os << " row=" << g->Row();
      if (auto* d = dynamic_cast<DataSource*>(c)) {
        os << " index=" << d->Index() << " bof=" << d->atBOF() << " eof=" << d->atEOF() << " nomatch=" << d->NoMatch()
           << " current=" << d->hasCurrent() << " record=";
        for (const std::string& f : d->schema().fields) os << f << ":" << oneLine(d->value(f)) << "|";
      }
      lines.push_back(os.str());
    }
  }
  return state;
}

std::string differences(const WindowState& before, const WindowState& now) {
  std::string out;
  for (const auto& [window, was] : before.lines) {
    const auto it = now.lines.find(window);
    if (it == now.lines.end()) {
      out += window + " is gone\n";
      continue;
    }
    const auto& is = it->second;
    for (size_t i = 0; i < std::max(was.size(), is.size()); ++i) {
      const std::string a = i < was.size() ? was[i] : "(none)", b = i < is.size() ? is[i] : "(none)";
      if (a != b) out += window + ": was " + a + "\n" + window + ":  is " + b + "\n";
    }
  }
  return out;
}

}  // namespace zuvo::testing
