#pragma once
// The setup window "TARVOS_Eingabe": pick a picture, write its starter batch file, back up and
// restore the settings.
#include <memory>

#include "setup/setup_logic.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/form.h"

namespace zelta {

class SetupForm : public Form {
  public:
    SetupForm();
    ~SetupForm() override;

    Label Label1;
    TextBox Text1;
    CommandButton Command1;
    CommandButton Command2;
    CommandButton cmd_export;
    CommandButton cmd_import;
    CommandButton Command3;
    CommonDialog CommonDialog1;  // picture dialog
    CommonDialog CommonDialog2;  // batch-file dialog

  protected:
    void CreateControls() override;
    void Form_Unload() override;

  private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void cmd_export_Click();
    void cmd_import_Click();

    std::unique_ptr<SetupServices> services_;
    std::unique_ptr<SetupCommands> commands_;
};

}  // namespace zelta
