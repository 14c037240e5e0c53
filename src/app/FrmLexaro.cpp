#include "app/FrmLexaro.h"

namespace zuvo {

FrmLexaro::FrmLexaro(Application& app) : Window(app, "FrmLexaro") {
  applyDesignState();
  bindStores();
  wireHandlers();
}

void FrmLexaro::wireHandlers() {
  // start-up, shut-down and the home screen
  Command21.Click = [this] { Command21_Click(); };
  Command10.Click = [this] { Command10_Click(); };
  Command20.Click = [this] { Command20_Click(); };
  Command72.Click = [this] { Command72_Click(); };
  Command5.Click = [this] { Command5_Click(); };
  Command16.Click = [this] { Command16_Click(); };
  Command62.Click = [this] { Command62_Click(); };
  Command28.Click = [this] { Command28_Click(); };
  Command30.Click = [this] { Command30_Click(); };
  Command90.Click = [this] { Command90_Click(); };
  Text12.Click = [this] { Text12_Click(); };
  Text23.GotFocus = [this] { Text23_GotFocus(); };
  Text24.GotFocus = [this] { Text24_GotFocus(); };

  // record-move handlers
  Text2.Change = [this] { Text2_Change(); };
  Text3.Change = [this] { Text3_Change(); };
  Text23.Change = [this] { Text23_Change(); };
  Text13.Change = [this] { Text13_Change(); };
  Text20.Change = [this] { Text20_Change(); };
  Text75.Change = [this] { Text75_Change(); };
  Text51.Change = [this] { Text51_Change(); };
  Text112.Change = [this] { Text112_Change(); };
  Text39.Change = [this] { Text39_Change(); };

  wireLookupHandlers();
  wireReaderHandlers();
  wireEntryHandlers();
  wireEventHandlers();
  wireVerbWordHandlers();
  wireImportHandlers();
  wireWordImportHandlers();
}

void FrmLexaro::message(TextView prompt) { app().msgBox(Text(prompt), Text(kMessageTitle)); }

}  // namespace zuvo
