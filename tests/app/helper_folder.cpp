// Temporary helper folders and the files the flows check.
#include "tests/app/helper_folder.h"

#include <algorithm>
#include <filesystem>

#include "tests/support/signed_files.h"

namespace {

std::wstring WindowsForm(const std::string& hostPath) {
  std::wstring path = WidePath(hostPath);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

}  // namespace

HelperFolder::HelperFolder()
    : hostFolder_(dir_.File("Helper Dir")),
      parent_(WindowsForm(dir_.Path()) + L"\\"),
      folder_(WindowsForm(hostFolder_) + L"\\") {
  std::filesystem::create_directory(hostFolder_);
}

void HelperFolder::Write(const std::string& name, const Bytes& bytes, bool inParent) const {
  WriteFileBytes((inParent ? dir_.Path() : hostFolder_) + "/" + name, bytes);
}

const Bytes& HelperFolder::SignedLoader() {
  static const Bytes bytes = signing::SignExecutable(SampleExecutable(4096), DevKey('P'),
                                                     {signing::Form::Binary, 'P', 0, {}})
                                 .bytes;
  return bytes;
}

const Bytes& HelperFolder::SignedScript() {
  static const Bytes bytes =
      signing::SignScript(SampleContent(600, 2), DevKey('D'), signing::Form::Text);
  return bytes;
}

const Bytes& HelperFolder::UnsignedFile() {
  static const Bytes bytes = SampleContent(3000, 3);
  return bytes;
}

const Bytes& HelperFolder::DamagedLoader() {
  static const Bytes bytes = [] {
    Bytes changed = SignedLoader();
    changed[1000] ^= 1;
    return changed;
  }();
  return bytes;
}

const Bytes& HelperFolder::DamagedScript() {
  static const Bytes bytes = [] {
    Bytes changed = SignedScript();
    changed[10] ^= 1;
    return changed;
  }();
  return bytes;
}
