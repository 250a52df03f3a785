#pragma once
// The stop window frm_STOP: shown while an MP3 plays; its one button ends the program, and the
// playback with it.
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace zelta {

class StopForm : public Form {
  public:
    StopForm();

    CommandButton cmd_STOP;

  protected:
    void CreateControls() override;
    void Form_Unload() override;

  private:
    void cmd_STOP_Click();
};

}  // namespace zelta
