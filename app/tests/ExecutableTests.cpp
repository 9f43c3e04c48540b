// TELVORA.exe checked as a file: the headers Windows reads before it runs a
// line of the program, the DLLs and functions it binds at load time, and the
// manifest embedded in it.

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace telvora {
namespace {

std::wstring ProgramFolderFile(const wchar_t* AName) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.erase(folder.find_last_of(L"\\/") + 1);
  return folder + AName;
}

std::vector<BYTE> ReadWholeFile(const std::wstring& APath) {
  TKernelHandle file(FileHandleOrNull(CreateFileW(APath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                  nullptr, OPEN_EXISTING, 0, nullptr)));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > (64 << 20))
    return {};
  std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
      read != bytes.size())
    return {};
  return bytes;
}

std::string Lower(std::string AText) {
  std::transform(AText.begin(), AText.end(), AText.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return AText;
}

// The parts of a PE file the tests look at, read from its bytes; every
// offset is checked against the file's size.
class TPeFile {
public:
  explicit TPeFile(std::vector<BYTE> ABytes) : FBytes(std::move(ABytes)) { Parse(); }

  bool Valid() const noexcept { return FValid; }
  WORD Machine() const noexcept { return FFileHeader.Machine; }
  WORD Characteristics() const noexcept { return FFileHeader.Characteristics; }
  WORD Magic = 0;
  WORD Subsystem = 0;
  WORD DllCharacteristics = 0;
  IMAGE_DATA_DIRECTORY Relocations{};
  IMAGE_DATA_DIRECTORY DelayImports{};
  // DLL name (lower case) -> the functions imported from it by name, or
  // "#N" by ordinal.
  std::map<std::string, std::vector<std::string>> Imports;

private:
  template <class T> const T* At(size_t AOffset) const noexcept {
    if (AOffset > FBytes.size() || FBytes.size() - AOffset < sizeof(T))
      return nullptr;
    return reinterpret_cast<const T*>(FBytes.data() + AOffset);
  }

  // The file offset of a relative virtual address, through the section
  // that holds it.
  std::optional<size_t> Offset(DWORD ARva) const noexcept {
    for (const IMAGE_SECTION_HEADER& s : FSections) {
      const DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
      if (ARva >= s.VirtualAddress && ARva - s.VirtualAddress < size &&
          ARva - s.VirtualAddress < s.SizeOfRawData)
        return size_t{s.PointerToRawData} + (ARva - s.VirtualAddress);
    }
    return std::nullopt;
  }

  std::optional<std::string> StringAt(DWORD ARva) const {
    const std::optional<size_t> offset = Offset(ARva);
    if (!offset || *offset >= FBytes.size())
      return std::nullopt;
    const char* start = reinterpret_cast<const char*>(FBytes.data() + *offset);
    const size_t length = strnlen(start, FBytes.size() - *offset);
    if (*offset + length >= FBytes.size())
      return std::nullopt;
    return std::string(start, length);
  }

  template <class TOptional> bool ReadOptionalHeader(size_t AOffset) {
    const TOptional* header = At<TOptional>(AOffset);
    if (header == nullptr || header->NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT)
      return false;
    Subsystem = header->Subsystem;
    DllCharacteristics = header->DllCharacteristics;
    FImportDirectory = header->DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    Relocations = header->DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    DelayImports = header->DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    return true;
  }

  template <class TThunk> bool ReadImportedNames(DWORD ARva, std::vector<std::string>& AInto) {
    constexpr TThunk kOrdinalFlag = TThunk{1} << (sizeof(TThunk) * 8 - 1);
    for (;; ARva += sizeof(TThunk)) {
      const std::optional<size_t> offset = Offset(ARva);
      const TThunk* thunk = offset ? At<TThunk>(*offset) : nullptr;
      if (thunk == nullptr)
        return false;
      if (*thunk == 0)
        return true;
      if (*thunk & kOrdinalFlag) {
        std::string ordinal(1, '#');
        ordinal.append(std::to_string(static_cast<unsigned>(*thunk & 0xFFFF)));
        AInto.push_back(std::move(ordinal));
        continue;
      }
      // IMAGE_IMPORT_BY_NAME: a hint word, then the name.
      std::optional<std::string> name = StringAt(static_cast<DWORD>(*thunk) + sizeof(WORD));
      if (!name)
        return false;
      AInto.push_back(*name);
    }
  }

  bool ReadImports() {
    if (FImportDirectory.VirtualAddress == 0)
      return true;
    for (DWORD rva = FImportDirectory.VirtualAddress;; rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
      const std::optional<size_t> offset = Offset(rva);
      const IMAGE_IMPORT_DESCRIPTOR* d = offset ? At<IMAGE_IMPORT_DESCRIPTOR>(*offset) : nullptr;
      if (d == nullptr)
        return false;
      if (d->Name == 0)
        return true;
      const std::optional<std::string> dll = StringAt(d->Name);
      if (!dll)
        return false;
      std::vector<std::string>& names = Imports[Lower(*dll)];
      const DWORD thunks = d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk;
      const bool read = Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                            ? ReadImportedNames<ULONGLONG>(thunks, names)
                            : ReadImportedNames<DWORD>(thunks, names);
      if (!read)
        return false;
    }
  }

  void Parse() {
    const IMAGE_DOS_HEADER* dos = At<IMAGE_DOS_HEADER>(0);
    if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0)
      return;
    const size_t nt = static_cast<size_t>(dos->e_lfanew);
    const DWORD* signature = At<DWORD>(nt);
    const IMAGE_FILE_HEADER* file = At<IMAGE_FILE_HEADER>(nt + sizeof(DWORD));
    if (signature == nullptr || *signature != IMAGE_NT_SIGNATURE || file == nullptr)
      return;
    FFileHeader = *file;
    const size_t optional = nt + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER);
    const WORD* magic = At<WORD>(optional);
    if (magic == nullptr)
      return;
    Magic = *magic;
    const bool header = Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                            ? ReadOptionalHeader<IMAGE_OPTIONAL_HEADER64>(optional)
                            : ReadOptionalHeader<IMAGE_OPTIONAL_HEADER32>(optional);
    if (!header)
      return;
    const size_t sections = optional + file->SizeOfOptionalHeader;
    for (WORD i = 0; i < file->NumberOfSections; ++i) {
      const IMAGE_SECTION_HEADER* section =
          At<IMAGE_SECTION_HEADER>(sections + i * sizeof(IMAGE_SECTION_HEADER));
      if (section == nullptr)
        return;
      FSections.push_back(*section);
    }
    FValid = ReadImports();
  }

  std::vector<BYTE> FBytes;
  bool FValid = false;
  IMAGE_FILE_HEADER FFileHeader{};
  IMAGE_DATA_DIRECTORY FImportDirectory{};
  std::vector<IMAGE_SECTION_HEADER> FSections;
};

// The program's embedded manifest (resource 1 of type RT_MANIFEST).
std::string EmbeddedManifest(const std::wstring& AExe) {
  TModule module(LoadLibraryExW(AExe.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module)
    return {};
  HRSRC resource = FindResourceW(module.Get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  HGLOBAL loaded = resource != nullptr ? LoadResource(module.Get(), resource) : nullptr;
  const char* text = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (text == nullptr)
    return {};
  return std::string(text, SizeofResource(module.Get(), resource));
}

// The start tag of the first element named ATag that contains ANeedle, or
// an empty text.
std::string ElementWith(const std::string& AXml, const std::string& ATag,
                        const std::string& ANeedle = {}) {
  for (size_t at = AXml.find("<" + ATag); at != std::string::npos;
       at = AXml.find("<" + ATag, at + 1)) {
    const size_t end = AXml.find('>', at);
    if (end == std::string::npos)
      return {};
    std::string element = AXml.substr(at, end - at + 1);
    if (element.find(ANeedle) != std::string::npos)
      return element;
  }
  return {};
}

// The text between an element's start and end tags.
std::string ElementText(const std::string& AXml, const std::string& ATag) {
  const size_t at = AXml.find("<" + ATag);
  const size_t start = at == std::string::npos ? at : AXml.find('>', at);
  const size_t end = start == std::string::npos ? start : AXml.find("</" + ATag, start);
  if (end == std::string::npos)
    return {};
  return AXml.substr(start + 1, end - start - 1);
}

class ShippedExecutable : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    FExe = ProgramFolderFile(L"TELVORA.exe");
    FFile.emplace(ReadWholeFile(FExe));
  }
  static void TearDownTestSuite() { FFile.reset(); }

  void SetUp() override { ASSERT_TRUE(FFile->Valid()) << "TELVORA.exe is no readable PE file"; }

  static inline std::wstring FExe;
  static inline std::optional<TPeFile> FFile;
};

TEST_F(ShippedExecutable, IsAWindowsGuiProgramOfThisBuildsArchitecture) {
  // The i686 build ships: PE32 for i386. The x86_64 build is a PE32+.
  if (sizeof(void*) == 4) {
    EXPECT_EQ(FFile->Machine(), IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(FFile->Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_TRUE(FFile->Characteristics() & IMAGE_FILE_32BIT_MACHINE);
  } else {
    EXPECT_EQ(FFile->Machine(), IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(FFile->Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
  }
  EXPECT_TRUE(FFile->Characteristics() & IMAGE_FILE_EXECUTABLE_IMAGE);
  EXPECT_FALSE(FFile->Characteristics() & IMAGE_FILE_DLL);
  EXPECT_EQ(FFile->Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(ShippedExecutable, AsksForDataExecutionPreventionAndAddressSpaceRandomisation) {
  EXPECT_TRUE(FFile->DllCharacteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT);
  EXPECT_TRUE(FFile->DllCharacteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE);
  // A dynamic base needs the relocations to move the image.
  EXPECT_FALSE(FFile->Characteristics() & IMAGE_FILE_RELOCS_STRIPPED);
  EXPECT_NE(FFile->Relocations.VirtualAddress, 0u);
  EXPECT_GT(FFile->Relocations.Size, 0u);
}

TEST_F(ShippedExecutable, ImportsOnlyFromDllsEveryWindowsHasAndBindsNewerFunctionsAtRunTime) {
  // System DLLs of every Windows the manifest names, Vista on. Compiler run
  // times (libgcc_s, libstdc++, libwinpthread, the MSVC run time) must not
  // appear: the program is linked statically.
  const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                         "advapi32.dll", "comctl32.dll", "msvcrt.dll"};
  for (const auto& [dll, functions] : FFile->Imports)
    EXPECT_TRUE(allowed.count(dll)) << "imports from " << dll;
  for (const char* needed : {"kernel32.dll", "user32.dll", "gdi32.dll"})
    EXPECT_TRUE(FFile->Imports.count(needed)) << needed << " not among the imports";
  EXPECT_EQ(FFile->DelayImports.Size, 0u) << "no delay-loaded DLLs";

  // Functions that Windows 7 or 8 lack: the per-monitor DPI functions are
  // bound by name when the program starts, so that it loads everywhere.
  const std::set<std::string> boundAtRunTime = {"GetDpiForWindow",
                                                "GetDpiForSystem",
                                                "GetSystemMetricsForDpi",
                                                "AdjustWindowRectExForDpi",
                                                "SystemParametersInfoForDpi",
                                                "SetThreadDpiAwarenessContext",
                                                "GetThreadDpiAwarenessContext",
                                                "GetWindowDpiAwarenessContext",
                                                "SetProcessDpiAwarenessContext",
                                                "AreDpiAwarenessContextsEqual",
                                                "GetAwarenessFromDpiAwarenessContext",
                                                "EnableNonClientDpiScaling",
                                                "GetDpiForMonitor",
                                                "SetProcessDpiAwareness",
                                                "GetProcessDpiAwareness"};
  for (const auto& [dll, functions] : FFile->Imports)
    for (const std::string& function : functions)
      EXPECT_FALSE(boundAtRunTime.count(function)) << dll << " " << function << " imported";
}

TEST_F(ShippedExecutable, EmbedsTheManifestForCommonControlsSixPerMonitorDpiAndAsInvoker) {
  const std::string manifest = EmbeddedManifest(FExe);
  ASSERT_FALSE(manifest.empty()) << "no manifest resource";
  const std::string controls =
      ElementWith(manifest, "assemblyIdentity", "name=\"Microsoft.Windows.Common-Controls\"");
  EXPECT_NE(controls.find("version=\"6.0.0.0\""), std::string::npos) << controls;
  EXPECT_NE(controls.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos) << controls;

  // Windows 10 1703 on reads dpiAwareness (the first name it knows counts);
  // older ones read dpiAware.
  std::string awareness = ElementText(manifest, "dpiAwareness");
  awareness = awareness.substr(0, awareness.find(','));
  awareness.erase(std::remove_if(awareness.begin(), awareness.end(),
                                 [](unsigned char c) { return std::isspace(c); }),
                  awareness.end());
  EXPECT_EQ(Lower(awareness), "permonitorv2");
  EXPECT_EQ(ElementText(manifest, "dpiAware"), "true/pm");

  const std::string level = ElementWith(manifest, "requestedExecutionLevel");
  EXPECT_NE(level.find("level=\"asInvoker\""), std::string::npos) << level;
  EXPECT_NE(level.find("uiAccess=\"false\""), std::string::npos) << level;
}

} // namespace
} // namespace telvora
