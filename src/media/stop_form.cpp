#include "media/stop_form.h"

#include "resources/resource_ids.h"
#include "toolkit/app_services.h"
#include "media/stop_ids.h"

namespace zelta {

namespace {
FormDesign StopDesign() {
    FormDesign design;
    design.className = stop_ids::kClassName;
    design.caption = L"Abspielen stop";
    design.clientWidth = 2385;
    design.clientHeight = 510;
    design.start = StartPosition::Manual;
    design.clientLeft = 885;
    design.clientTop = 1290;
    design.iconId = IDI_SHARED;
    return design;
}
}  // namespace

StopForm::StopForm()
    : Form(StopDesign()), cmd_STOP(*this, {0, 0, 2415, 495}, L"STOP", stop_ids::kCmdStop) {}

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
