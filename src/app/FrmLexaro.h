#pragma once
// The main window. Its controls are members named as the system names them;
// its handlers are spread over the files of app/, entries/ and import/.

#include "platform/application.h"
#include "platform/control.h"
#include "platform/rich_text_box.h"
#include "platform/window.h"

namespace zuvo {

class FrmLexaro : public Window {
 public:
  explicit FrmLexaro(Application& app);

  // Answer boxes of the hidden workers.
  TextBox Text33{*this, "Text33"};    // NumberResultBox: FrmSZ writes its Spanish words here
  TextBox Text96{*this, "Text96"};    // gerund (VerbStore ZD7)
  TextBox Text97{*this, "Text97"};    // participle (VerbStore ZD8)
  TextBox Text117{*this, "Text117"};  // gerund preview of the verb entry panel
  TextBox Text118{*this, "Text118"};  // participle preview of the verb entry panel
  TextBox Text72{*this, "Text72"};    // infinitive of the verb entry panel
};

}  // namespace zuvo
