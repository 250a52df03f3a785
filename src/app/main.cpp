#include "app/main.h"

#include <windows.h>

#include <memory>

#include "app/classify.h"
#include "app/instances.h"
#include "media/play_media.h"
#include "media/stop_form.h"
#include "notice/notice_form.h"
#include "picture_window/picture_form.h"
#include "picture_window/picture_preparation.h"
#include "settings/registry_store.h"
#include "setup/setup_form.h"
#include "toolkit/com.h"
#include "toolkit/message_pump.h"
#include "toolkit/message_box.h"
#include "toolkit/process_end.h"
#include "toolkit/program_paths.h"

namespace zelta {

namespace {

// The program's four windows. Each exists once; its window is made on first use.
struct Windows {
    PictureForm Zelta;
    NoticeForm Hinweis;
    StopForm frm_STOP;
    SetupForm TARVOS_Eingabe;
};

WhenNewerStarts WhenNewerStartsFor(Action action) {
    if (action == Action::Video) {
        return WhenNewerStarts::AtTheVideoBox;
    }
    return PlaysMedia(action) ? WhenNewerStarts::PlayOn : WhenNewerStarts::End;
}

}  // namespace

void Main() {
    const StartRequest request = RequestFor(CommandLineText());
    // The picture is read, decoded and scaled for its first view while the window is built.
    std::shared_ptr<PicturePreparation> preparation;
    if (request.action == Action::Picture) {
        preparation = std::make_shared<PicturePreparation>(ProgramSettings(), request.PicturePath);
    }
    const HandedOver handedOver = HandOver(WhenNewerStartsFor(request.action));
    if (PlaysMedia(request.action)) {
        // The GUI thread's apartment, before an avi's device opens its video window here; the
        // playback thread of every other file gets its own.
        EnsureCom();
    }
    Windows windows{PictureForm(ProgramSettings(), request.PicturePath, preparation), NoticeForm(),
                    StopForm(), SetupForm()};
    PictureForm& zelta = windows.Zelta;
    zelta.Load();
    switch (request.action) {
        case Action::Notice:
            windows.Hinweis.Show();
            zelta.GeometrySteps();
            zelta.Show();
            break;
        case Action::Setup:
            // The setup window's sequence, as it has always run: the picture window is hidden
            // before and after the setup window shows, then minimised.
            zelta.Hide();
            windows.TARVOS_Eingabe.Show();
            zelta.Hide();
            zelta.SetWindowState(WindowState::Minimized);
            windows.TARVOS_Eingabe.SetFocus();
            zelta.Show();
            break;
        case Action::Quit:
            EndProgram(0);
        case Action::Sound:
            PlayMedia(request.MediaPath);
            EndProgram(0);
        case Action::Mp3:
            windows.frm_STOP.Show();
            // The MP3 sequence: half a second with the stop window up before playback starts,
            // during which the GUI thread takes no events.
            Sleep(500);
            PlayMedia(request.MediaPath);
            EndProgram(0);
        case Action::Video:
            // A video that failed has said so in its own boxes; it is not reported as played.
            // From its box on, a newer start ends the instance (and an avi's playback with it).
            if (PlayMedia(request.MediaPath)) {
                handedOver.WaitingInTheVideoBox();
                ShowMessage(L"Video von Zelta ausgeführt", style::kOkOnly);
            }
            EndProgram(0);
        case Action::Picture:
            break;  // the picture window shows once the picture is ready
    }
    RunMessageLoop();
}

}  // namespace zelta
