#pragma once
// The notice window "Hinweis": how to start the program; it closes itself after ten seconds.
#include "picture/image_control.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace zelta {

class NoticeForm : public Form {
  public:
    NoticeForm();

    Timer Timer1;
    Image Image1;
    Label Label3;
    Label Label2;
    Label Label1;

  protected:
    void CreateControls() override;

  private:
    void Timer1_Timer();
};

}  // namespace zelta
