#pragma once
// The picture window "Zelta": the picture, its path banner and the two geometry buttons.
#include <functional>
#include <optional>
#include <string>

#include "picture_window/geometry.h"
#include "picture_window/picture_preparation.h"
#include "settings/settings_store.h"
#include "picture/image_control.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace zelta {

class PictureForm : public Form {
  public:
    // picturePath: the program-wide picture path, read live (it is set during Form_Load).
    PictureForm(SettingsStore& store, const std::wstring& picturePath);

    // Runs first in Form_Load; returns whether the geometry steps follow.
    std::function<bool()> Dispatch;

    // Puts the picture prepared for the picture action into Image1 (waiting for it if need be);
    // its geometry record is the one the geometry steps use.
    void LoadPictureFile(PicturePreparation& preparation);

    Image Image1;
    Label Label1;
    CommandButton cmd_Pos;
    CommandButton cmd_pos_del;
    Timer Timer1;

  protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Resize() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    const GeometryRecord& Record();
    void CreateHoverControls();
    void WriteImageSize();
    void GeometrySteps();
    void KeepOnScreen();
    void Image1_MouseMove();
    void Image1_Click();
    void Timer1_Timer();
    void cmd_Pos_Click();
    void cmd_pos_del_Click();

    SettingsStore& store_;
    const std::wstring& picturePath_;
    std::optional<GeometryRecord> record_;
    struct Drag {
        bool placeStored;
        bool resized;
    };
    std::optional<Drag> drag_;  // an interactive move or resize is on
};

}  // namespace zelta
