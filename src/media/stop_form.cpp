#include "media/stop_form.h"

#include "resources/resource_ids.h"
#include "toolkit/process_end.h"
#include "media/stop_ids.h"

namespace zelta {

StopForm::StopForm()
    : Form(FormDesign{.className = stop_ids::kClassName,
                      .caption = L"Abspielen stop",
                      .clientWidth = 2385,
                      .clientHeight = 510,
                      .start = StartPosition::Manual,
                      .clientLeft = 885,
                      .clientTop = 1290,
                      .iconId = IDI_SHARED}),
      cmd_STOP(*this, {0, 0, 2415, 495}, L"STOP", stop_ids::kCmdStop) {}

void StopForm::CreateControls() {
    cmd_STOP.Create();
    cmd_STOP.SetTooltip(L"Hält die aktuelle Datei an");
    cmd_STOP.Click = [this] { cmd_STOP_Click(); };
}

void StopForm::cmd_STOP_Click() {
    EndProgram(0);
}

void StopForm::Form_Unload() {
    EndProgram(0);
}

}  // namespace zelta
