#pragma once
// Small owners for Windows handles. Each kind of handle counts how many of its
// holders are alive and own a handle, so tests can show that nothing leaks.

#include <windows.h>

#include <utility>

namespace telvora {

template <class Traits> class TUniqueHandle {
public:
  using Handle = typename Traits::Handle;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(Handle handle) noexcept : FHandle(handle) {
    if (FHandle)
      ++Live();
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, Handle{})) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      FHandle = std::exchange(other.FHandle, Handle{});
    }
    return *this;
  }
  ~TUniqueHandle() { Reset(); }

  Handle Get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != Handle{}; }

  // Gives up ownership without closing (for handles handed to the system).
  Handle Release() noexcept {
    if (FHandle)
      --Live();
    return std::exchange(FHandle, Handle{});
  }

  void Reset(Handle handle = Handle{}) noexcept {
    if (FHandle) {
      Traits::Close(FHandle);
      --Live();
    }
    FHandle = handle;
    if (FHandle)
      ++Live();
  }

  // Number of handles of this kind currently owned by holders.
  static int LiveCount() noexcept { return Live(); }

private:
  static int& Live() noexcept {
    static int count = 0;
    return count;
  }
  Handle FHandle{};
};

struct TRegKeyTraits {
  using Handle = HKEY;
  static void Close(HKEY h) noexcept { RegCloseKey(h); }
};
struct TModuleTraits {
  using Handle = HMODULE;
  static void Close(HMODULE h) noexcept { FreeLibrary(h); }
};
struct TGlobalTraits {
  using Handle = HGLOBAL;
  static void Close(HGLOBAL h) noexcept { GlobalFree(h); }
};
struct TMemoryDCTraits {
  using Handle = HDC;
  static void Close(HDC h) noexcept { DeleteDC(h); }
};
struct TGdiObjectTraits {
  using Handle = HGDIOBJ;
  static void Close(HGDIOBJ h) noexcept { DeleteObject(h); }
};
struct TWindowTraits {
  using Handle = HWND;
  static void Close(HWND h) noexcept { DestroyWindow(h); }
};
// Kernel objects such as open files. CreateFile's INVALID_HANDLE_VALUE is
// not a handle: pass FileHandleOrNull(...) to the holder.
struct TKernelHandleTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) noexcept { CloseHandle(h); }
};

using TRegKey = TUniqueHandle<TRegKeyTraits>;
using TModule = TUniqueHandle<TModuleTraits>;
using TGlobalMemory = TUniqueHandle<TGlobalTraits>;
using TMemoryDC = TUniqueHandle<TMemoryDCTraits>;
using TGdiObject = TUniqueHandle<TGdiObjectTraits>;
using TWindowHandle = TUniqueHandle<TWindowTraits>;
using TKernelHandle = TUniqueHandle<TKernelHandleTraits>;

inline HANDLE FileHandleOrNull(HANDLE AHandle) noexcept {
  return AHandle == INVALID_HANDLE_VALUE ? nullptr : AHandle;
}

// Sets AEntry to AModule's function AName, or to none where the module or
// the function cannot be had.
template <class T> void BindProcAddress(HMODULE AModule, const char* AName, T& AEntry) noexcept {
  AEntry = AModule ? reinterpret_cast<T>(GetProcAddress(AModule, AName)) : nullptr;
}

// Runs a step when the scope ends, also when an exception passes.
template <class F> class TScopeExit {
public:
  explicit TScopeExit(F f) : FProc(std::move(f)) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() { FProc(); }

private:
  F FProc;
};

// LocalFree for buffers the system allocated (FormatMessageW).
class TLocalMemory {
public:
  explicit TLocalMemory(void* memory) noexcept : FMemory(memory) {}
  TLocalMemory(const TLocalMemory&) = delete;
  TLocalMemory& operator=(const TLocalMemory&) = delete;
  ~TLocalMemory() {
    if (FMemory)
      LocalFree(FMemory);
  }

private:
  void* FMemory;
};

// A device context obtained with GetDC, released with ReleaseDC.
class TWindowDC {
public:
  explicit TWindowDC(HWND window) noexcept : FWindow(window), FDC(GetDC(window)) {
    if (FDC)
      ++Live();
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (FDC) {
      ReleaseDC(FWindow, FDC);
      --Live();
    }
  }
  HDC Get() const noexcept { return FDC; }
  static int LiveCount() noexcept { return Live(); }

private:
  static int& Live() noexcept {
    static int count = 0;
    return count;
  }
  HWND FWindow;
  HDC FDC;
};

// Selects a GDI object into a device context for the holder's lifetime.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ object) noexcept : FDC(dc), FOld(SelectObject(dc, object)) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (FOld && FOld != HGDI_ERROR)
      SelectObject(FDC, FOld);
  }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// GlobalLock / GlobalUnlock pair.
class TGlobalLock {
public:
  explicit TGlobalLock(HGLOBAL memory) noexcept : FMemory(memory), FData(GlobalLock(memory)) {}
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock() {
    if (FData)
      GlobalUnlock(FMemory);
  }
  void* Data() const noexcept { return FData; }

private:
  HGLOBAL FMemory;
  void* FData;
};

} // namespace telvora
