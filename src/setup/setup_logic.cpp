#include "setup/setup_logic.h"

#include "settings/geometry_keys.h"
#include "setup/backup_file.h"
#include "setup/batch_lines.h"
#include "setup/get_directory.h"
#include "base/runtime_error.h"

namespace zelta {

bool BackupWritten(std::optional<std::int64_t> before, std::optional<std::int64_t> after,
                   std::int64_t clickTime) {
    if (!after) {
        return false;
    }
    if (before && *before == *after) {
        return false;
    }
    return *after + kWriteTimeSlack >= clickTime;
}

std::wstring UnwritableStarterMessage(const std::wstring& batchPath, const std::wstring& line) {
    return L"Die Batchdatei " + batchPath +
           L" wurde nicht geschrieben: Diese Zeile enthält Zeichen, die die "
           L"Eingabeaufforderung nicht lesen kann:\n" +
           line;
}

std::wstring SetupCommands::Setting(const wchar_t* key) {
    return GetSetting(store_, keys::kApplication, keys::kSettingsSection, key, L"");
}

void SetupCommands::SaveSetting(const wchar_t* key, const std::wstring& value) {
    store_.Save(keys::kApplication, keys::kSettingsSection, key, value);
}

void SetupCommands::PickPicture(const std::function<void(const std::wstring&)>& setText1) {
    // Cancel and every other failure end the command quietly; what is done stays done.
    try {
        DialogRequest request;
        request.flags = dialog_flags::kHideReadOnly;
        request.initDir = Setting(keys::kPicPath);
        request.filter = setup_text::kPictureFilter;
        request.filterIndex = 2;
        request.fileName = pictureFileName_;  // the dialog starts at the picture last chosen
        const auto chosen = services_.ShowOpen(request);
        if (!chosen) {
            return;
        }
        pictureFileName_ = *chosen;
        setText1(*chosen);
        SaveSetting(keys::kPicPath, GetDirectory(*chosen));
    } catch (const RuntimeError&) {
    }
}

void SetupCommands::BuildStarter(const std::wstring& text1) {
    try {
        DialogRequest request;
        request.flags = dialog_flags::kHideReadOnly | dialog_flags::kOverwritePrompt;
        request.initDir = Setting(keys::kPath);
        request.filter = setup_text::kBatchFilter;
        request.filterIndex = 2;
        // The proposal comes from the picture chosen with "...", not from Text1.
        const auto proposal = ProposedBatchName(pictureFileName_);
        if (!proposal) {
            return;
        }
        request.fileName = *proposal;
        const auto chosen = services_.ShowSave(request);
        if (!chosen) {
            return;
        }
        SaveSetting(keys::kPath, GetDirectory(*chosen));

        // Checked before the file is touched, so a file the user picked keeps its content.
        if (IsNoPicture(text1)) {
            services_.ShowMessage(setup_text::kNoPicture, style::kCritical);
            return;
        }
        const std::wstring line = StarterLine(services_.ProgramFolder(), text1);
        if (BreaksBatchLine(text1) || !services_.CanEncode(line, TextCodePage::Oem)) {
            services_.ShowMessage(UnwritableStarterMessage(*chosen, line), style::kCritical);
            return;
        }
        try {
            services_.WriteLine(*chosen, line, TextCodePage::Oem);
        } catch (const RuntimeError& error) {
            services_.ShowMessage(error.Message(), style::kCritical);
        }
    } catch (const RuntimeError&) {
    }
}

namespace {
// Marks a backup or restore as running for as long as it is in scope.
class Running {
  public:
    explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
    ~Running() { flag_ = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

  private:
    bool& flag_;
};
}  // namespace

void SetupCommands::ExportSettings() {
    if (backupRunning_) {
        return;
    }
    const Running running(backupRunning_);
    try {
        const std::int64_t clickTime = services_.Now();
        const std::wstring batch = services_.ProgramFolder() + L"\\" + kSaveBatchName;
        services_.WriteLine(batch, ExportLine(), TextCodePage::Ansi);
        const auto before = services_.LastWriteTime(kBackupFile);
        const bool finished = services_.StartAndWait(batch, kBackupWaitLimit, nullptr);
        if (finished && BackupWritten(before, services_.LastWriteTime(kBackupFile), clickTime)) {
            services_.ShowMessage(setup_text::kSaved, style::kOkOnly);
        } else {
            services_.ShowMessage(setup_text::kBackupFailed, style::kCritical);
        }
    } catch (const RuntimeError& error) {
        services_.ShowMessage(error.Message(), style::kCritical);
    }
}

void SetupCommands::ImportSettings() {
    // Restoring while regedit still writes the backup would read half a file.
    if (backupRunning_) {
        return;
    }
    const Running running(backupRunning_);
    try {
        Restore();
    } catch (const RuntimeError& error) {
        services_.ShowMessage(error.Message(), style::kCritical);
    }
}

void SetupCommands::Restore() {
    // Held from the check until regedit is done with it: what regedit imports is what was read.
    const auto held = services_.ReadHeld(kBackupFile);
    if (!held) {
        services_.ShowMessage(setup_text::kBackupMissing, style::kCritical);
        return;
    }
    const auto fromAnsi = [this](std::string_view line) { return services_.FromAnsi(line); };
    const BackupContent backup = ReadBackup(held->bytes, fromAnsi);
    switch (backup.verdict) {
        case BackupContent::Verdict::NotARegistryExport:
            services_.ShowMessage(setup_text::kNoRegistryExport, style::kCritical);
            return;
        case BackupContent::Verdict::ForeignKey:
            services_.ShowMessage(setup_text::kForeignKey + backup.key, style::kCritical);
            return;
        case BackupContent::Verdict::DotKey:
            services_.ShowMessage(setup_text::kDotKey + backup.key, style::kCritical);
            return;
        case BackupContent::Verdict::UnknownLine:
            services_.ShowMessage(setup_text::kUnknownLine + std::to_wstring(backup.line),
                                  style::kCritical);
            return;
        case BackupContent::Verdict::Restorable:
            break;
    }
    const std::wstring batch = services_.ProgramFolder() + L"\\" + kRestoreBatchName;
    services_.WriteLine(batch, ImportLine(), TextCodePage::Ansi);
    if (services_.StartAndWait(batch, kRestoreWaitLimit, held->hold) &&
        HoldsBackup(store_, held->bytes, fromAnsi)) {
        services_.ShowMessage(setup_text::kRestored, style::kOkOnly);
    } else {
        services_.ShowMessage(setup_text::kRestoreFailed, style::kCritical);
    }
}

}  // namespace zelta
