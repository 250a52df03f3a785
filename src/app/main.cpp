#include "app/main.h"

#include <windows.h>

#include "app/classify.h"
#include "app/globals.h"
#include "app/instances.h"
#include "notice/notice_form.h"
#include "picture_window/picture_form.h"
#include "settings/registry_store.h"
#include "toolkit/app_services.h"

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

// The first half of the picture window's load: carry out what the argument text asks for.
// Returns whether the picture window's geometry steps follow.
bool Dispatch(const std::wstring& argumentText) {
    switch (Classify(argumentText)) {
        case Action::Notice:
            PicturePath = argumentText.substr(1);
            Hinweis().Show();
            return true;
        case Action::Quit:
            EndProgram(0);
        case Action::Picture:
            PicturePath = argumentText;
            Zelta().LoadPictureFile(PicturePath);
            Zelta().SetCaption(kProgramTitle);
            return true;
        case Action::Setup:
        case Action::Sound:
        case Action::Mp3:
        case Action::Video:
            break;
    }
    return false;
}

}  // namespace

void Main() {
    if (PreviousInstance()) {
        EndOlderInstances(nullptr);
    }
    PictureForm& zelta = Zelta();
    zelta.Created = [](HWND own) {
        MarkPictureWindow(own);
        if (NewerInstanceExists(own)) {
            EndProgram(0);  // a newer start has taken over
        }
        EndOlderInstances(own);
    };
    const std::wstring argumentText = CommandLineText();
    zelta.Dispatch = [argumentText] { return Dispatch(argumentText); };
    zelta.Show();
}

}  // namespace zelta
