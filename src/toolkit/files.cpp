#include "toolkit/files.h"

#include <map>

#include "toolkit/error_report.h"
#include "base/runtime_error.h"
#include "base/unique_handle.h"

namespace zelta {

namespace {
UINT Resolved(UINT codePage) {
    return codePage == CP_OEMCP ? GetOEMCP() : codePage == CP_ACP ? GetACP() : codePage;
}

// UTF-8 and GB18030 hold every character; they take neither best-fit nor default-character
// options, only the check for broken surrogate pairs.
bool HoldsEverything(UINT codePage) {
    const UINT number = Resolved(codePage);
    return number == CP_UTF8 || number == 54936;
}

int Encode(const std::wstring& text, UINT codePage, char* out, int outSize, BOOL* usedDefault) {
    if (HoldsEverything(codePage)) {
        return WideCharToMultiByte(Resolved(codePage), WC_ERR_INVALID_CHARS, text.data(),
                                   static_cast<int>(text.size()), out, outSize, nullptr, nullptr);
    }
    return WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(),
                               static_cast<int>(text.size()), out, outSize, nullptr, usedDefault);
}
}  // namespace

bool CanEncode(const std::wstring& text, UINT codePage) {
    if (text.empty()) {
        return true;
    }
    BOOL usedDefault = FALSE;
    const int length = Encode(text, codePage, nullptr, 0, &usedDefault);
    return length > 0 && usedDefault == FALSE;
}

std::string EncodeText(const std::wstring& text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    if (!CanEncode(text, codePage)) {
        throw RuntimeError(L"Der Text enthält Zeichen, die in der Zeichentabelle " +
                           std::to_wstring(Resolved(codePage)) + L" nicht darstellbar sind:\n" +
                           text);
    }
    const int length = Encode(text, codePage, nullptr, 0, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    Encode(text, codePage, bytes.data(), length, nullptr);
    return bytes;
}

void WriteTextFile(const std::wstring& path, const std::wstring& text, UINT codePage) {
    WriteFileAtomically(path, EncodeText(text, codePage));
}

std::int64_t FileTimeValue(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

std::string ReadOpenedFile(HANDLE file, const std::wstring& path) {
    std::string bytes;
    std::string block(65536, '\0');
    DWORD got = 0;
    while (ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) {
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() + got > kMaxReadFileBytes) {
            throw RuntimeError(L"Die Datei kann nicht gelesen werden: " + path +
                               L"\nSie ist größer als " + std::to_wstring(kMaxReadFileBytes >> 20) +
                               L" MB.");
        }
        bytes.append(block.data(), got);
    }
    const DWORD code = GetLastError();
    throw RuntimeError(L"Die Datei kann nicht gelesen werden: " + path + L"\n" +
                       LastErrorText(code));
}

void WriteFileAtomically(const std::wstring& path, const std::string& bytes) {
    // Replacing would succeed on some systems; a write-protected file is the user's decision.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw RuntimeError(L"Die Datei ist schreibgeschützt und wurde nicht verändert: " + path);
    }
    const std::wstring temporary = path + L".zelta-new";
    unique_kernel_handle file =
        FileHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        throw RuntimeError(L"Die Datei kann nicht geschrieben werden: " + path + L"\n" +
                           LastErrorText(code));
    }
    DWORD written = 0;
    const BOOL ok =
        bytes.empty() ||
        (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size());
    const BOOL flushed = ok && FlushFileBuffers(file.get());
    const DWORD writeError = GetLastError();
    file.reset();
    if (!ok || !flushed) {
        DeleteFileW(temporary.c_str());
        throw RuntimeError(L"Die Datei kann nicht geschrieben werden: " + path + L"\n" +
                           LastErrorText(writeError));
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileW(temporary.c_str());
        throw RuntimeError(L"Die Datei kann nicht ersetzt werden: " + path + L"\n" +
                           LastErrorText(code));
    }
}

}  // namespace zelta
