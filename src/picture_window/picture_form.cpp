#include "picture_window/picture_form.h"

#include <new>

#include "picture/picture.h"
#include "picture_window/geometry.h"
#include "picture_window/geometry_record.h"
#include "picture_window/picture_ids.h"
#include "resources/resource_ids.h"
#include "settings/geometry_keys.h"
#include "toolkit/process_end.h"
#include "toolkit/screen.h"
#include "toolkit/ui_values.h"

namespace zelta {

namespace {
constexpr COLORREF kStoredColor = 255;  // red
constexpr UINT kCreateHoverControls = WM_APP + 2;
constexpr UINT kPictureReady = WM_APP + 3;

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*rect*/, LPARAM data) {
    auto* lists =
        reinterpret_cast<std::pair<std::vector<PixelRect>, std::vector<PixelRect>>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    try {
        if (GetMonitorInfoW(monitor, &info)) {
            lists->first.push_back({info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                                    info.rcMonitor.bottom});
            lists->second.push_back(
                {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom});
        }
    } catch (const std::bad_alloc&) {
        return FALSE;  // never through the system's callback
    }
    return TRUE;
}
}  // namespace

PictureForm::PictureForm(SettingsStore& store, std::wstring picturePath,
                         std::shared_ptr<PicturePreparation> preparation)
    : Form(FormDesign{.className = picture_ids::kClassName,
                      .caption = kProgramTitle,
                      .clientWidth = 10440,
                      .clientHeight = 6930,
                      .iconId = IDI_PROGRAM}),
      Image1(*this, {0, 0, 480, 480}, picture_ids::kImage1),
      Label1(*this, {600, 120, 9732, 252}, L"LW+Pfad+Datei", picture_ids::kLabel1),
      cmd_Pos(*this, {120, 480, 495, 495}, L"", picture_ids::kCmdPos),
      cmd_pos_del(*this, {720, 480, 495, 495}, L"", picture_ids::kCmdPosDel),
      Timer1(*this, 3000, false, picture_ids::kTimer1),
      store_(store),
      picturePath_(std::move(picturePath)),
      preparation_(std::move(preparation)) {}

void PictureForm::CreateControls() {
    Image1.Create();
    Image1.SetPicture(PictureFromIcon(IDI_PROGRAM, ToPixels(480)));
    Timer1.Create();

    Image1.MouseMove = [this] { Image1_MouseMove(); };
    Image1.Click = [this] { Image1_Click(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    cmd_Pos.Click = [this] { cmd_Pos_Click(); };
    cmd_pos_del.Click = [this] { cmd_pos_del_Click(); };
}

void PictureForm::CreateHoverControls() {
    if (Label1.Hwnd() != nullptr) {
        return;
    }
    // Tab order: the banner, then the two buttons; all of them lie over the picture.
    Label1.SetVisible(false);
    Label1.Create();
    cmd_Pos.SetVisible(false);
    cmd_Pos.SetGraphical(IDI_FLOPPY);
    cmd_Pos.SetTooltip(
        L"Speichert die Fensterposition für das nächste öffnen. Um die Bildgrösse zu ändern muss "
        L"zuerst immer die "
        L"Speichertaste gedrückt werden.");
    cmd_Pos.Create();
    cmd_pos_del.SetVisible(false);
    cmd_pos_del.SetGraphical(IDI_MONITOR);
    cmd_pos_del.SetTooltip(
        L"Fenstergrösse und Position löschen. Das Bild wird mittig in Orginalgrösse geladen.");
    cmd_pos_del.Create();
    // A child made later lies below the earlier ones: the picture goes back under them all.
    SetWindowPos(Image1.Hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The picture prepared for a picture start; its geometry record is the one the geometry steps
// use.
void PictureForm::LoadPictureFile() {
    PreparedPicture prepared = preparation_->Take();
    record_ = prepared.record;
    Image1.SetPicture(std::move(prepared.picture), std::move(prepared.pixels),
                      std::move(prepared.scaled));
}

// A picture start goes on once its picture is ready: the GUI thread does not wait for it.
void PictureForm::Form_Load() {
    if (preparation_) {
        preparation_->TellWhenReady(Hwnd(), kPictureReady);
    }
}

// Read once per start: nothing writes it between the picture's load and the geometry steps.
const GeometryRecord& PictureForm::Record() {
    if (!record_) {
        record_ = ReadGeometryRecord(store_, picturePath_);
    }
    return *record_;
}

void PictureForm::GeometrySteps() {
    const auto screenWidth = static_cast<float>(ScreenWidthTwips());
    const auto screenHeight = static_cast<float>(ScreenHeightTwips());
    const WindowGeometry g =
        InitialGeometry(static_cast<float>(Image1.Width()), static_cast<float>(Image1.Height()),
                        Record(), screenWidth, screenHeight);
    SetWindowPos(Hwnd(), nullptr, ScreenToPixels(g.left), ScreenToPixels(g.top), ToPixels(g.width),
                 ToPixels(g.height), SWP_NOZORDER | SWP_NOACTIVATE);
    if (g.imageSizeFromRecord) {
        Image1.SetSize(g.imageWidth, g.imageHeight);
    }
    if (g.centred) {
        // The platform caps a window larger than the screen: centre the size it really has, so
        // that its title bar stays within reach.
        RECT outer{};
        GetWindowRect(Hwnd(), &outer);
        const bool capped = outer.right - outer.left != ToPixels(g.width) ||
                            outer.bottom - outer.top != ToPixels(g.height);
        if (capped) {
            const float left = CentredEdge(screenWidth, static_cast<float>(Width()));
            const float top = CentredEdge(screenHeight, static_cast<float>(Height()));
            SetWindowPos(Hwnd(), nullptr, ScreenToPixels(left), ScreenToPixels(top), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else {
        KeepOnScreen();
    }

    Label1.SetLeft(0);
    Label1.SetTop(0);
    Label1.SetWidth(Width());
    Label1.SetCaption(picturePath_);
}

// A place stored while another monitor was connected must not open the window out of reach.
void PictureForm::KeepOnScreen() {
    std::pair<std::vector<PixelRect>, std::vector<PixelRect>> lists;
    EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&lists));
    RECT outer{};
    GetWindowRect(Hwnd(), &outer);
    const int titleHeight = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const auto moved = BringOntoScreen({outer.left, outer.top, outer.right, outer.bottom},
                                       titleHeight, lists.first, lists.second);
    if (moved) {
        SetWindowPos(Hwnd(), nullptr, moved->x, moved->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void PictureForm::Form_Resize() {
    if (picturePath_.empty()) {
        return;
    }
    Image1.SetStretch(true);
    Label1.SetWidth(Width());
    // During a drag the place cannot change, and the picture's size is written once, at its end,
    // with the values the last step would have written.
    const bool placeStored = drag_ ? drag_->placeStored : ReadPlaceStored(store_, picturePath_);
    if (const auto size =
            FollowWindow(static_cast<float>(Width()), static_cast<float>(Height()), placeStored)) {
        Image1.SetSize(size->width, size->height);
    }
    if (drag_) {
        drag_->resized = true;
    } else {
        WriteImageSize();
    }
}

void PictureForm::WriteImageSize() {
    const KeepAlive writing;  // the two image values go together
    zelta::WriteImageSize(store_, picturePath_, static_cast<float>(Image1.Width()),
                          static_cast<float>(Image1.Height()));
}

void PictureForm::Image1_MouseMove() {
    CreateHoverControls();
    Label1.SetVisible(true);
    Timer1.SetEnabled(true);
    cmd_Pos.SetVisible(true);
    cmd_pos_del.SetVisible(true);
}

void PictureForm::Timer1_Timer() {
    Label1.SetVisible(false);
    cmd_Pos.SetVisible(false);
    cmd_pos_del.SetVisible(false);
}

void PictureForm::Image1_Click() {
    EndProgram(0);
}

void PictureForm::cmd_Pos_Click() {
    // Without a picture path there is no section to store under; the button still says it was
    // pressed.
    if (picturePath_.empty()) {
        cmd_Pos.SetBackColor(kStoredColor);
        return;
    }
    const KeepAlive writing;  // the four values go together
    WriteStoredPlace(store_, picturePath_, static_cast<float>(Left()), static_cast<float>(Top()),
                     static_cast<float>(Width()), static_cast<float>(Height()));
    cmd_Pos.SetBackColor(kStoredColor);
}

void PictureForm::cmd_pos_del_Click() {
    if (picturePath_.empty()) {
        return;
    }
    const KeepAlive writing;  // the values go together
    store_.Delete(keys::kApplication, picturePath_);
}

LRESULT PictureForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kPictureReady:
            LoadPictureFile();
            SetCaption(kProgramTitle);
            GeometrySteps();
            Show();
            return 0;
        case WM_SHOWWINDOW:
            // The banner and the two buttons stay hidden until the mouse comes over the picture.
            // They are made right after the window's first paint (the first of them loads the
            // common controls), and at once should the mouse come before that.
            if (wParam != FALSE) {
                PostMessageW(Hwnd(), kCreateHoverControls, 0, 0);
            }
            break;
        case kCreateHoverControls:
            CreateHoverControls();
            return 0;
        case WM_ENTERSIZEMOVE:
            Image1.SetFastScaling(true);
            drag_ = Drag{!picturePath_.empty() && ReadPlaceStored(store_, picturePath_), false};
            break;
        case WM_EXITSIZEMOVE: {
            Image1.SetFastScaling(false);
            const bool resized = drag_ && drag_->resized;
            drag_.reset();
            if (resized) {
                WriteImageSize();
            }
            break;
        }
        default:
            break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

}  // namespace zelta
