#pragma once
// What the setup window's buttons do, written against small services so that it runs without a
// window: the form forwards each click here.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_store.h"
#include "toolkit/ui_values.h"

namespace zelta {

enum class TextCodePage { Ansi, Oem };

// A file's bytes, read while it is held: as long as `hold` lives, nobody may write, replace,
// rename or delete the file, and anybody may still read it (regedit reads it so).
struct HeldFile {
    std::string bytes;
    std::shared_ptr<void> hold;
};

class SetupServices {
  public:
    virtual ~SetupServices() = default;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<std::wstring> ShowOpen(const DialogRequest& request) = 0;
    virtual std::optional<std::wstring> ShowSave(const DialogRequest& request) = 0;
    virtual void ShowMessage(const std::wstring& prompt, unsigned boxStyle) = 0;
    virtual std::wstring ProgramFolder() = 0;
    virtual bool CanEncode(const std::wstring& text, TextCodePage codePage) = 0;
    // Writes `line` and CR LF as the whole new content of `path`; throws RuntimeError naming the
    // file and the reason when it cannot, and nothing is written then.
    virtual void WriteLine(const std::wstring& path, const std::wstring& line,
                           TextCodePage codePage) = 0;
    // The file, held, or nothing when it does not exist. Throws RuntimeError naming the reason
    // when it cannot be held (another program has it open) or read.
    virtual std::optional<HeldFile> ReadHeld(const std::wstring& path) = 0;
    // Bytes in the ANSI code page as text.
    virtual std::wstring FromAnsi(std::string_view bytes) = 0;
    // Starts the file and waits for it to end while the windows stay responsive, showing the
    // busy pointer; false when it was still running when `limit` had passed. `keep` lives until
    // the started program has ended, also when the wait gave up before.
    virtual bool StartAndWait(const std::wstring& path, std::chrono::milliseconds limit,
                              std::shared_ptr<void> keep) = 0;
    // Last write time in 100 ns units on the clock of Now(); nothing when the file is missing.
    virtual std::optional<std::int64_t> LastWriteTime(const std::wstring& path) = 0;
    virtual std::int64_t Now() = 0;
};

namespace setup_text {
inline constexpr const wchar_t* kPictureFilter =
    L"Pic (*.*)|*.*|Pics |*.bmp;*.jpg;*.gif;*.tif;*.ico|";
inline constexpr const wchar_t* kBatchFilter = L"Batch file (*.bat)|*.bat";
inline constexpr const wchar_t* kNoPicture = L"No Picture";
inline constexpr const wchar_t* kSaved = L"Gesichert in Datei C:\\Zelta_Settingsfile.reg";
inline constexpr const wchar_t* kBackupFailed =
    L"Die Sicherung ist fehlgeschlagen: Die Datei C:\\Zelta_Settingsfile.reg wurde nicht "
    L"geschrieben.";
inline constexpr const wchar_t* kRestored =
    L"Wiederhergestellt aus Datei C:\\Zelta_Settingsfile.reg";
inline constexpr const wchar_t* kRestoreFailed =
    L"Die Wiederherstellung ist fehlgeschlagen: Die Einstellungen aus "
    L"C:\\Zelta_Settingsfile.reg wurden nicht übernommen.";
inline constexpr const wchar_t* kBackupMissing =
    L"Die Sicherungsdatei C:\\Zelta_Settingsfile.reg fehlt. Es wurde nichts wiederhergestellt.";
inline constexpr const wchar_t* kBackupInUse =
    L"Die Datei C:\\Zelta_Settingsfile.reg wird gerade von einem anderen Programm verwendet und "
    L"wird nicht eingelesen. Es wurde nichts wiederhergestellt.";
inline constexpr const wchar_t* kNoRegistryExport =
    L"Die Datei C:\\Zelta_Settingsfile.reg ist keine Sicherung der Registrierung. Es wurde nichts "
    L"wiederhergestellt.";
inline constexpr const wchar_t* kForeignKey =
    L"Die Datei C:\\Zelta_Settingsfile.reg enthält Einträge außerhalb der Einstellungen von Zelta "
    L"und wird nicht eingelesen. Es wurde nichts wiederhergestellt.\nSchlüssel: ";
inline constexpr const wchar_t* kDotKey =
    L"Die Datei C:\\Zelta_Settingsfile.reg enthält einen Schlüssel mit „.“ oder „..“ als Namen, "
    L"den "
    L"Zelta nicht sicher wiederherstellen kann, und wird nicht eingelesen. Es wurde nichts "
    L"wiederhergestellt.\nSchlüssel: ";
inline constexpr const wchar_t* kUnknownLine =
    L"Die Datei C:\\Zelta_Settingsfile.reg enthält eine Zeile, die Zelta nicht als eigene "
    L"Einstellung erkennt, und wird nicht eingelesen. Es wurde nichts wiederhergestellt.\nZeile ";
}  // namespace setup_text

// regedit exports without asking; on import it may ask the user first, who gets time to read.
inline constexpr std::chrono::milliseconds kBackupWaitLimit{60000};
inline constexpr std::chrono::milliseconds kRestoreWaitLimit{600000};
// File systems keep write times coarsely (FAT: two seconds).
inline constexpr std::int64_t kWriteTimeSlack = 2 * 10'000'000LL;

// The backup counts only when the file is there, differs from what was there before the click,
// and was written no earlier than the click.
bool BackupWritten(std::optional<std::int64_t> before, std::optional<std::int64_t> after,
                   std::int64_t clickTime);

// The German box text for a starter line that cmd could not read from the file.
std::wstring UnwritableStarterMessage(const std::wstring& batchPath, const std::wstring& line);

class SetupCommands {
  public:
    SetupCommands(SettingsStore& store, SetupServices& services)
        : store_(store), services_(services) {}

    // "...": choose a picture; setText1 receives its path.
    void PickPicture(const std::function<void(const std::wstring&)>& setText1);
    // "Build Batch file *.bat": write the starter file for the picture text.
    void BuildStarter(const std::wstring& text1);
    // "Export HKEY CURUSER" and "Import HKEY CURUSER". A click while either runs is ignored.
    void ExportSettings();
    void ImportSettings();

  private:
    std::wstring Setting(const wchar_t* key);
    void SaveSetting(const wchar_t* key, const std::wstring& value);
    void Restore();

    SettingsStore& store_;
    SetupServices& services_;
    std::wstring pictureFileName_;  // the picture dialog's file name: the last picture chosen
    bool backupRunning_ = false;
};

}  // namespace zelta
