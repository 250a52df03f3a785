#include "notice/notice_form.h"

#include "resources/resource_ids.h"
#include "notice/notice_ids.h"
#include "picture/picture_loader.h"

namespace zelta {

NoticeForm::NoticeForm()
    : Form(FormDesign{.className = notice_ids::kClassName,
                      .caption = L"Zelta Konfiguration",
                      .clientWidth = 6375,
                      .clientHeight = 3180,
                      .start = StartPosition::Manual,
                      .clientLeft = 315,
                      .clientTop = 960,
                      .iconId = IDI_SHARED}),
      Timer1(*this, 10000, true, notice_ids::kTimer1),
      Image1(*this, {2640, 120, 3564, 732}, notice_ids::kImage1),
      Label3(*this, {720, 2640, 2532, 372}, L"Version 2.03 · Bilder, Sounds und Videos",
             notice_ids::kLabel3),
      Label2(*this, {720, 1200, 2772, 1212},
             L"Bitte das gewünschte Bild mit Externer Befehl von Tarvos aus starten. Z.B. mit "
             L"Zelta.exe "
             L"/c:\\Test.jpg     Mit einem Linksklick kann das Bild vorzeitig geschlossen werden.",
             notice_ids::kLabel2),
      Label1(*this, {720, 480, 1572, 492}, L"Zelta für Tarvos", notice_ids::kLabel1) {}

void NoticeForm::CreateControls() {
    Timer1.Create();
    Timer1.Tick = [this] { Timer1_Timer(); };
    Image1.Create();
    Image1.SetStretch(true);
    Image1.SetPicture(PictureFromResource(IDB_LOGO, RT_GIFDATA));
    Label3.Create();
    Label2.Create();
    Label1.Create();
}

void NoticeForm::Timer1_Timer() {
    Unload();
}

}  // namespace zelta
