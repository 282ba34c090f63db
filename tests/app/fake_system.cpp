// The recording fake of the operating-system services.
#include "tests/app/fake_system.h"

#include <cwchar>
#include <iomanip>
#include <sstream>

#include "app/raised_error.h"
#include "tests/app/string_blocks.h"

namespace {

std::wstring Text(const wchar_t* text) {
  return text == nullptr ? L"(none)" : text;
}

// Copies at most `limit` characters and a zero, as the platform's path queries do.
void CopyCut(wchar_t* buffer, const std::wstring& value, uint32_t limit) {
  const size_t length = value.size() < limit ? value.size() : limit;
  value.copy(buffer, length);
  buffer[length] = L'\0';
}

class FakeMutex : public ktcplib::CKTSyncObject {
 public:
  FakeMutex(FakeSystem* system, std::wstring name) : system_(system), name_(std::move(name)) {
    system_->existingMutexes.insert(name_);
  }
  FakeMutex(const FakeMutex&) = delete;
  FakeMutex& operator=(const FakeMutex&) = delete;
  ~FakeMutex() override {
    system_->existingMutexes.erase(system_->existingMutexes.find(name_));
    system_->Record(L"release " + name_);
  }
  bool Lock(uint32_t timeoutMs) override {
    system_->Record(L"lock " + std::to_wstring(timeoutMs));
    return true;
  }
  bool Unlock() override {
    system_->Record(L"unlock");
    return true;
  }

 private:
  FakeSystem* system_;
  std::wstring name_;
};

class FakeHeldFile : public HeldFile {
 public:
  FakeHeldFile(FakeSystem* system, std::wstring path) : system_(system), path_(std::move(path)) {}
  FakeHeldFile(const FakeHeldFile&) = delete;
  FakeHeldFile& operator=(const FakeHeldFile&) = delete;
  ~FakeHeldFile() override { system_->Record(L"unguard " + path_); }

 private:
  FakeSystem* system_;
  std::wstring path_;
};

}  // namespace

FakeModule& FakeModule::Block(uint16_t name, const Bytes& bytes) {
  blocks[{name, true}] = bytes;
  blocks[{name, false}] = bytes;
  return *this;
}

FakeSystem::FakeSystem() {
  modules.emplace_back();
  modules.back().Block(7, MessageTextBlock());
}

void FakeSystem::Record(const std::wstring& event) {
  events.push_back(event);
  if (onEvent) {
    onEvent(event);
  }
}

void FakeSystem::ModuleFileName(wchar_t* buffer, uint32_t limit) {
  Record(L"module " + std::to_wstring(limit));
  CopyCut(buffer, modulePath, limit);
}

bool FakeSystem::SystemDirectory(wchar_t* buffer, uint32_t limit) {
  Record(L"system directory " + std::to_wstring(limit));
  if (!systemFolder) {
    return false;
  }
  CopyCut(buffer, *systemFolder, limit);
  return true;
}

bool FakeSystem::DesktopDirectory(wchar_t* buffer) {
  Record(L"desktop");
  if (!desktopFolder) {
    return false;
  }
  CopyCut(buffer, *desktopFolder, kPathLimit);
  return true;
}

bool FakeSystem::IsMutexPresent(const wchar_t* name) {
  Record(L"probe " + Text(name));
  return existingMutexes.count(name) != 0;
}

std::unique_ptr<ktcplib::CKTSyncObject> FakeSystem::HoldMutex(const wchar_t* name) {
  Record(L"hold " + Text(name));
  if (mutexCreationError) {
    throw SystemError(*mutexCreationError);
  }
  return std::make_unique<FakeMutex>(this, name);
}

int32_t FakeSystem::ShowMessageBox(const wchar_t* text, const wchar_t* caption, uint32_t style) {
  Record(BoxEvent(style, Text(caption), Text(text)));
  return boxAnswer;
}

void FakeSystem::OpenWithShell(const ShellOpenRecord& record) {
  Record(ShellEvent(record));
}

void FakeSystem::StartProcess(wchar_t* commandLine, const wchar_t* currentDirectory) {
  Record(L"process " + Text(commandLine) + L" in " + Text(currentDirectory));
}

void FakeSystem::RemoveFile(const wchar_t* path) {
  Record(L"delete " + Text(path));
}

int32_t FakeSystem::CreateShortcut(const wchar_t* target, const wchar_t* linkFile,
                                   const wchar_t* iconFile, const wchar_t* arguments) {
  Record(ShortcutEvent(target, linkFile, iconFile, arguments));
  return shortcutResult;
}

std::unique_ptr<HeldFile> FakeSystem::HoldFileUnchanged(const wchar_t* path) {
  Record(L"guard " + Text(path));
  if (guardFails) {
    return nullptr;
  }
  return std::make_unique<FakeHeldFile>(this, path);
}

ResourceModule FakeSystem::ResourceModuleAt(uint32_t index) {
  resourceCalls.push_back(L"module at " + std::to_wstring(index));
  return index < modules.size() ? &modules[index] : nullptr;
}

StringBlock FakeSystem::FindStringBlock(ResourceModule module, uint16_t blockName,
                                        bool neutralLanguage) {
  resourceCalls.push_back(L"block " + std::to_wstring(blockName) +
                          (neutralLanguage ? L" neutral" : L" default"));
  const auto& blocks = static_cast<const FakeModule*>(module)->blocks;
  const auto found = blocks.find({blockName, neutralLanguage});
  if (found == blocks.end()) {
    return {};
  }
  return {found->second.data(), static_cast<uint32_t>(found->second.size())};
}

std::wstring BoxEvent(uint32_t style, const std::wstring& caption, const std::wstring& text) {
  std::wostringstream event;
  event << L"box 0x" << std::hex << std::setw(2) << std::setfill(L'0') << style << L" \"" << caption
        << L"\" \"" << text << L'"';
  return event.str();
}

std::wstring ShellEvent(const ShellOpenRecord& record) {
  return L"shell mask=" + std::to_wstring(record.mask) + L" verb=" + Text(record.verb) + L" file=" +
         Text(record.file) + L" parameters=" + Text(record.parameters) + L" directory=" +
         Text(record.directory) + L" show=" + std::to_wstring(record.show);
}

std::wstring ShortcutEvent(const wchar_t* target, const wchar_t* linkFile, const wchar_t* iconFile,
                           const wchar_t* arguments) {
  return L"shortcut target=" + Text(target) + L" link=" + Text(linkFile) + L" icon=" +
         Text(iconFile) + L" arguments=" + Text(arguments);
}
