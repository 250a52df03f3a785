#pragma once
// The picture window "Zelta": the picture, its path banner and the two geometry buttons.
#include <memory>
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
    // picturePath: the notice's or the picture's path, the section of its record and the banner's
    // text; empty for the other starts, and then nothing is stored. preparation: the picture being
    // made ready, for a picture start; the window shows once it is ready.
    PictureForm(SettingsStore& store, std::wstring picturePath,
                std::shared_ptr<PicturePreparation> preparation);

    // Sizes and places the window for Image1's picture and lays the banner across its top.
    void GeometrySteps();

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
    void LoadPictureFile();
    void CreateHoverControls();
    void WriteImageSize();
    void KeepOnScreen();
    void Image1_MouseMove();
    void Image1_Click();
    void Timer1_Timer();
    void cmd_Pos_Click();
    void cmd_pos_del_Click();

    SettingsStore& store_;
    const std::wstring picturePath_;
    std::shared_ptr<PicturePreparation> preparation_;
    std::optional<GeometryRecord> record_;
    struct Drag {
        bool placeStored;
        bool resized;
    };
    std::optional<Drag> drag_;  // an interactive move or resize is on
};

}  // namespace zelta
