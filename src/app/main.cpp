#include "app/main.h"

#include <windows.h>

#include <memory>

#include "app/classify.h"
#include "app/globals.h"
#include "app/instances.h"
#include "media/play_media.h"
#include "media/stop_form.h"
#include "notice/notice_form.h"
#include "picture_window/picture_form.h"
#include "picture_window/picture_preparation.h"
#include "settings/registry_store.h"
#include "setup/setup_form.h"
#include "toolkit/com.h"
#include "toolkit/message_box.h"
#include "toolkit/process_end.h"
#include "toolkit/program_paths.h"

namespace zelta {

std::wstring PicturePath;
std::wstring MediaPath;

namespace {

// Each window exists once, created on first use.
PictureForm& Zelta() {
    static PictureForm form(ProgramSettings(), PicturePath);
    return form;
}
NoticeForm& Hinweis() {
    static NoticeForm form;
    return form;
}
StopForm& frm_STOP() {
    static StopForm form;
    return form;
}
SetupForm& TARVOS_Eingabe() {
    static SetupForm form;
    return form;
}

// The first half of the picture window's load: carry out what the argument text asks for.
// Returns whether the picture window's geometry steps follow.
bool Dispatch(const std::wstring& argumentText, Action action, PicturePreparation* preparation) {
    switch (action) {
        case Action::Notice:
            PicturePath = argumentText.substr(1);
            Hinweis().Show();
            return true;
        case Action::Setup:
            // The setup window's sequence, as it has always run: the picture window is hidden
            // before and after the setup window shows, then minimised.
            Zelta().Hide();
            TARVOS_Eingabe().Show();
            Zelta().Hide();
            Zelta().SetWindowState(WindowState::Minimized);
            TARVOS_Eingabe().SetFocus();
            return false;
        case Action::Quit:
            EndProgram(0);
        case Action::Sound:
            MediaPath = argumentText;
            PlayMedia(MediaPath);
            EndProgram(0);
        case Action::Mp3:
            MediaPath = argumentText;
            frm_STOP().Show();
            // The MP3 sequence: half a second with the stop window up before playback starts,
            // during which the GUI thread takes no events.
            Sleep(500);
            PlayMedia(MediaPath);
            EndProgram(0);
        case Action::Video:
            MediaPath = argumentText;
            // A video that failed has said so in its own boxes; it is not reported as played.
            // From its box on, a newer start ends the instance (and an avi's playback with it).
            if (PlayMedia(MediaPath)) {
                WaitingInTheVideoBox();
                ShowMessage(L"Video von Zelta ausgeführt", style::kOkOnly);
            }
            EndProgram(0);
        case Action::Picture:
            PicturePath = argumentText;
            Zelta().LoadPictureFile(*preparation);
            Zelta().SetCaption(kProgramTitle);
            return true;
    }
    return false;
}

}  // namespace

void Main() {
    const std::wstring argumentText(WithoutEnclosingQuotes(CommandLineText()));
    const Action action = Classify(argumentText);
    // The picture is read, decoded and scaled for its first view while the window is built.
    std::shared_ptr<PicturePreparation> preparation;
    if (action == Action::Picture) {
        preparation = std::make_shared<PicturePreparation>(ProgramSettings(), argumentText);
    }
    HandOver(action == Action::Video ? WhenNewerStarts::AtTheVideoBox
             : PlaysMedia(action)    ? WhenNewerStarts::PlayOn
                                     : WhenNewerStarts::End);
    if (PlaysMedia(action)) {
        // The GUI thread's apartment, before an avi's device opens its video window here; the
        // playback thread of every other file gets its own.
        EnsureCom();
    }
    PictureForm& zelta = Zelta();
    zelta.Dispatch = [argumentText, action, preparation] {
        return Dispatch(argumentText, action, preparation.get());
    };
    zelta.Show();
}

}  // namespace zelta
