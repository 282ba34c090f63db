// Reads an executable's resources through the Windows resource functions, as the helper and
// Explorer see them, and prints them as key=value lines in UTF-8:
//   string-blocks=7              the names of all string-table blocks
//   string-block-7-languages=1031
//   string 96=                   ids 96 to 111: the UTF-16 units, four hex digits each
//   string 101=004e 006f ...
//   file-version=1.0.0.4         the fixed part of the version block
//   product-version=1.0.0.4
//   FileDescription=...          the strings of its first translation
//   manifest=3c3f...             RT_MANIFEST 1, its bytes in hex
// and what the system makes of the manifest, its activation context:
//   activation-context=made      or the system error that refused it
//   run-level=1                  1 as invoker, 2 highest available, 3 administrator
//   ui-access=0
//   supported-os={...} {...}     the supported systems' ids
//   assembly 2=Microsoft.Windows.Common-Controls,...  the bound dependencies, from index 2
//   dpi-aware=true/pm            the window settings, read in their own name spaces
//   dpi-awareness=PerMonitorV2
// Usage: resource_reader EXE. Exit code 0, or 1 when EXE cannot be loaded as a data file.
#include <windows.h>

#include <cstddef>
#include <string>

#include "tests/wine/programs/utf8_output.h"

namespace {

constexpr UINT kFirstId = 96;
constexpr UINT kLastId = 111;
constexpr WORD kStringBlock = kFirstId / 16 + 1;
const wchar_t* const kVersionStrings[] = {L"FileDescription", L"CompanyName", L"ProductName",
                                          L"OriginalFilename"};

// What the system reports of a manifest's compatibility section, in the layout of current
// Windows and Wine: each element carries the highest version tested after its type.
struct CompatibilityElement {
  GUID id;
  DWORD type;
  ULONGLONG maxVersionTested;
};
struct CompatibilityInformation {
  DWORD count;
  CompatibilityElement elements[64];  // far more than a manifest names
};
static_assert(sizeof(CompatibilityElement) == 32, "element layout");
static_assert(offsetof(CompatibilityInformation, elements) == 8, "elements start");

// The manifest's window settings, each under the name space that Windows reads it from.
struct WindowSetting {
  const char* key;
  const wchar_t* nameSpace;
  const wchar_t* name;
};
const WindowSetting kWindowSettings[] = {
    {"dpi-aware", L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"},
    {"dpi-awareness", L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"},
};

std::string Hex(unsigned value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(static_cast<size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) {
    text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  }
  return text;
}

// Appends a name given as an integer id; string names, which we do not use, as "?".
BOOL CALLBACK AddBlockName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
  std::string& text = *reinterpret_cast<std::string*>(list);
  text += text.empty() ? "" : " ";
  text += IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : "?";
  return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) {
  std::string& text = *reinterpret_cast<std::string*>(list);
  text += text.empty() ? "" : " ";
  text += std::to_string(language);
  return TRUE;
}

// {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}, lower case, as manifests write them.
std::string Guid(const GUID& id) {
  std::string text = "{" + Hex(id.Data1 >> 16, 4) + Hex(id.Data1 & 0xFFFF, 4) + "-" +
                     Hex(id.Data2, 4) + "-" + Hex(id.Data3, 4) + "-";
  for (int i = 0; i < 8; ++i) {
    text += (i == 2 ? "-" : "") + Hex(id.Data4[i], 2);
  }
  return text + "}";
}

std::string StringTable(HMODULE module) {
  std::string names;
  EnumResourceNamesW(module, MAKEINTRESOURCEW(6), AddBlockName, reinterpret_cast<LONG_PTR>(&names));
  std::string languages;
  EnumResourceLanguagesW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(kStringBlock), AddLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  std::string out = "string-blocks=" + names + "\nstring-block-" + std::to_string(kStringBlock) +
                    "-languages=" + languages + "\n";
  for (UINT id = kFirstId; id <= kLastId; ++id) {
    // With no room given, LoadStringW hands out a pointer into the resource and the exact
    // length, so no terminating zero or truncation hides a unit.
    const wchar_t* text = nullptr;
    const int units = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    out += "string " + std::to_string(id) + "=";
    for (int i = 0; i < units; ++i) {
      out += (i == 0 ? "" : " ") + Hex(text[i], 4);
    }
    out += "\n";
  }
  return out;
}

std::string Version(const wchar_t* exe) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe, &ignored);
  if (size == 0) {
    return std::string();
  }
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(exe, 0, size, &block[0])) {
    return std::string();
  }
  std::string out;
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    auto dotted = [](DWORD high, DWORD low) {
      return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
             std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
    };
    out += "file-version=" + dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + "\n";
    out += "product-version=" + dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS) + "\n";
  }
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
      length < 2 * sizeof(WORD)) {
    return out;
  }
  // The strings of the first translation, under \StringFileInfo\<language><code page>.
  const WORD* translation = static_cast<const WORD*>(value);
  const std::string table = Hex(translation[0], 4) + Hex(translation[1], 4);
  for (const wchar_t* name : kVersionStrings) {
    const std::wstring path =
        L"\\StringFileInfo\\" + std::wstring(table.begin(), table.end()) + L"\\" + name;
    if (VerQueryValueW(block.data(), path.c_str(), &value, &length)) {
      // Zero-terminated; the length VerQueryValueW gives may or may not count the zero.
      const auto* text = static_cast<const wchar_t*>(value);
      out += Utf8(name) + "=" + Utf8(text) + "\n";
    }
  }
  return out;
}

std::string Manifest(HMODULE module) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const auto* bytes =
      static_cast<const unsigned char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (bytes == nullptr) {
    return std::string();
  }
  std::string out = "manifest=";
  const DWORD size = SizeofResource(module, found);
  for (DWORD i = 0; i < size; ++i) {
    out += Hex(bytes[i], 2);
  }
  return out + "\n";
}

// The manifest as the system reads it: the activation context made from RT_MANIFEST 1, with
// its run level, its supported systems, its assemblies and its window settings.
std::string ActivationContext(const wchar_t* exe) {
  ACTCTXW request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe;
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  if (context == INVALID_HANDLE_VALUE) {
    return "activation-context=system error " + std::to_string(GetLastError()) + "\n";
  }
  std::string out = "activation-context=made\n";

  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
  if (QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &runLevel,
                   sizeof runLevel, nullptr)) {
    out += "run-level=" + std::to_string(runLevel.RunLevel) + "\n";
    out += "ui-access=" + std::to_string(runLevel.UiAccess) + "\n";
  }

  CompatibilityInformation compatibility = {};
  if (QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, &compatibility,
                   sizeof compatibility, nullptr)) {
    std::string ids;
    for (DWORD i = 0; i < compatibility.count; ++i) {
      if (compatibility.elements[i].type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) {
        ids += (ids.empty() ? "" : " ") + Guid(compatibility.elements[i].id);
      }
    }
    out += "supported-os=" + ids + "\n";
  }

  // The record is followed by the paths it points to, hence the room.
  alignas(ACTIVATION_CONTEXT_DETAILED_INFORMATION) char detailBuffer[4096] = {};
  if (QueryActCtxW(0, context, nullptr, ActivationContextDetailedInformation, detailBuffer,
                   sizeof detailBuffer, nullptr)) {
    const auto& detail =
        *reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detailBuffer);
    // Index 1 is the program's own manifest, the dependencies follow.
    for (DWORD index = 1; index <= detail.ulAssemblyCount; ++index) {
      alignas(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) char assembly[8192] = {};
      if (QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext, assembly,
                       sizeof assembly, nullptr)) {
        const auto* info =
            reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly);
        const wchar_t* identity = info->lpAssemblyEncodedAssemblyIdentity;
        out += "assembly " + std::to_string(index) + "=" +
               (identity != nullptr ? Utf8(identity) : std::string()) + "\n";
      }
    }
  }

  for (const WindowSetting& setting : kWindowSettings) {
    wchar_t value[256] = {};
    SIZE_T written = 0;
    if (QueryActCtxSettingsW(0, context, setting.nameSpace, setting.name, value,
                             sizeof value / sizeof value[0], &written)) {
      out += setting.key + std::string("=") + Utf8(value) + "\n";
    }
  }
  ReleaseActCtx(context);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (argc != 2) {
    WriteAll(out, "usage: resource_reader EXE\n");
    return 1;
  }
  HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) {
    WriteAll(out, "error=cannot load, system error " + std::to_string(GetLastError()) + "\n");
    return 1;
  }
  const bool written = WriteAll(
      out, StringTable(module) + Version(argv[1]) + Manifest(module) + ActivationContext(argv[1]));
  FreeLibrary(module);
  return written ? 0 : 1;
}
