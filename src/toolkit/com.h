#pragma once
// COM, with ole32 loaded on first use: a picture that needs no COM starts without it.
#include <windows.h>

namespace zelta {

// COM on the calling thread (single-threaded apartment), for the platform's picture decoders,
// the file dialogs, starting files and media devices: started on the thread's first need.
void EnsureCom();
// A thread of its own that used EnsureCom ends COM here, once its COM objects are gone.
void EndCom();

// CoInitializeEx and CoUninitialize for threads of their own.
HRESULT InitializeCom(DWORD apartment);
void UninitializeCom();

// CoCreateInstance of an in-process server.
HRESULT CreateComInstance(REFCLSID type, REFIID interfaceId, void** object);

}  // namespace zelta
