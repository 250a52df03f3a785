#include "setup/setup_form.h"

#include <algorithm>
#include <string_view>

#include "base/task.h"
#include "resources/resource_ids.h"
#include "settings/registry_store.h"
#include "toolkit/message_box.h"
#include "toolkit/mouse_pointer.h"
#include "toolkit/process_end.h"
#include "toolkit/program_paths.h"
#include "toolkit/start_file.h"
#include "setup/setup_ids.h"
#include "toolkit/files.h"
#include "toolkit/error_report.h"
#include "toolkit/message_pump.h"
#include "base/runtime_error.h"
#include "base/unique_handle.h"

namespace zelta {

namespace {

FontSpec SansSerif(double points) {
    FontSpec font;
    font.points = points;
    return font;
}

UINT CodePageOf(TextCodePage codePage) {
    return codePage == TextCodePage::Oem ? CP_OEMCP : CP_ACP;
}

class WindowsSetupServices : public SetupServices {
  public:
    explicit WindowsSetupServices(SetupForm& form) : form_(form) {}

    std::optional<std::wstring> ShowOpen(const DialogRequest& request) override {
        return Show(form_.CommonDialog1, request, false);
    }
    std::optional<std::wstring> ShowSave(const DialogRequest& request) override {
        return Show(form_.CommonDialog2, request, true);
    }
    void ShowMessage(const std::wstring& prompt, unsigned boxStyle) override {
        zelta::ShowMessage(prompt, boxStyle);
    }
    std::wstring ProgramFolder() override { return zelta::ProgramFolder(); }
    bool CanEncode(const std::wstring& text, TextCodePage codePage) override {
        return zelta::CanEncode(text, CodePageOf(codePage));
    }
    void WriteLine(const std::wstring& path, const std::wstring& line,
                   TextCodePage codePage) override {
        WriteTextFile(path, line + L"\r\n", CodePageOf(codePage));
    }
    std::optional<HeldFile> ReadHeld(const std::wstring& path) override {
        // Reading shared, nothing else: regedit can read it, nobody can change it.
        auto file = std::make_shared<unique_kernel_handle>(
            FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!*file) {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
                return std::nullopt;
            }
            throw RuntimeError(code == ERROR_SHARING_VIOLATION
                                   ? std::wstring(setup_text::kBackupInUse)
                                   : L"Die Datei kann nicht gelesen werden: " + path + L"\n" +
                                         LastErrorText(code));
        }
        return HeldFile{ReadOpenedFile(file->get(), path), file};
    }
    std::wstring FromAnsi(std::string_view bytes) override {
        // Without MB_ERR_INVALID_CHARS, as regedit converts: a byte the code page lacks becomes
        // its default character, not an error.
        if (bytes.empty()) {
            return {};
        }
        const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(),
                                               static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                            length);
        return text;
    }
    bool StartAndWait(const std::wstring& path, std::chrono::milliseconds limit,
                      std::shared_ptr<void> keep) override {
        unique_kernel_handle process = zelta::StartFile(path);
        if (!process) {
            // Started through something that reports no process: the outcome decides.
            return true;
        }
        SetMousePointer(pointer::kBusy);
        const WaitOutcome outcome =
            WaitDispatching(process.get(), static_cast<DWORD>(limit.count()));
        SetMousePointer(pointer::kDefault);
        if (outcome != WaitOutcome::Signalled && keep) {
            // A person may leave regedit's prompt standing past the wait: what it keeps stays
            // until it has ended.
            Task([process = std::move(process), keep = std::move(keep)](const std::stop_token&) {
                WaitForSingleObject(process.get(), INFINITE);
            }).Detach();
        }
        return outcome == WaitOutcome::Signalled;
    }
    std::optional<std::int64_t> LastWriteTime(const std::wstring& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            return std::nullopt;
        }
        return FileTimeValue(data.ftLastWriteTime);
    }
    std::int64_t Now() override {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        return FileTimeValue(now);
    }

  private:
    std::optional<std::wstring> Show(CommonDialog& dialog, const DialogRequest& request,
                                     bool save) {
        dialog.properties = request;
        return save ? dialog.ShowSave(form_.Hwnd()) : dialog.ShowOpen(form_.Hwnd());
    }

    SetupForm& form_;
};

}  // namespace

SetupForm::SetupForm()
    : Form(FormDesign{.className = setup_ids::kClassName,
                      .caption = L"Setup",
                      .clientWidth = 11700,
                      .clientHeight = 2490,
                      .start = StartPosition::WindowsDefault,
                      .iconId = IDI_SHARED}),
      Label1(*this, {240, 120, 1575, 255}, L"Picture", setup_ids::kLabel1),
      Text1(*this, {120, 480, 8295, 855}, setup_ids::kText1),
      Command1(*this, {8640, 480, 975, 855}, L"...", setup_ids::kCommand1),
      Command2(*this, {120, 1560, 2895, 735}, L"Build Batch file *.bat", setup_ids::kCommand2),
      cmd_export(*this, {3240, 1560, 2415, 735}, L"Export HKEY CURUSER", setup_ids::kCmdExport),
      cmd_import(*this, {5880, 1560, 2415, 735}, L"Import HKEY CURUSER", setup_ids::kCmdImport),
      Command3(*this, {8640, 1560, 2895, 735}, L"Exit", setup_ids::kCommand3),
      services_(std::make_unique<WindowsSetupServices>(*this)),
      commands_(std::make_unique<SetupCommands>(ProgramSettings(), *services_)) {}

SetupForm::~SetupForm() = default;

void SetupForm::CreateControls() {
    // Created in tab order, which is also the order the Tab key walks: Text1 first.
    Text1.Create();
    Label1.Create();
    Command1.SetFont(SansSerif(24));
    Command1.Create();
    Command1.Click = [this] { Command1_Click(); };
    Command2.SetFont(SansSerif(13.5));
    Command2.Create();
    Command2.Click = [this] { Command2_Click(); };
    Command3.SetFont(SansSerif(13.5));
    Command3.Create();
    Command3.Click = [this] { Command3_Click(); };
    cmd_export.SetFont(SansSerif(12));
    cmd_export.Create();
    cmd_export.Click = [this] { cmd_export_Click(); };
    cmd_import.SetFont(SansSerif(12));
    cmd_import.Create();
    cmd_import.Click = [this] { cmd_import_Click(); };
}

void SetupForm::Command1_Click() {
    commands_->PickPicture([this](const std::wstring& path) { Text1.SetText(path); });
}

void SetupForm::Command2_Click() {
    commands_->BuildStarter(Text1.Text());
}

void SetupForm::Command3_Click() {
    EndProgram();
}

void SetupForm::Form_Unload() {
    EndProgram();
}

void SetupForm::cmd_export_Click() {
    commands_->ExportSettings();
}

void SetupForm::cmd_import_Click() {
    commands_->ImportSettings();
}

}  // namespace zelta
