// Finding and loading the helper's texts. A text's block is RT_STRING block id / 16 + 1,
// and the text is entry id % 16 in it.
#include "app/message_texts.h"

#include "app/raised_error.h"
#include "app/string_table.h"

namespace {

constexpr uint32_t kEntriesPerBlock = 16;

uint16_t BlockName(uint16_t id) {
  return static_cast<uint16_t>(id / kEntriesPerBlock + 1);
}

}  // namespace

ResourceModule FindTextModule(SystemServices& system, uint16_t id) {
  for (uint32_t index = 0;; ++index) {
    const ResourceModule module = system.ResourceModuleAt(index);
    if (module == nullptr) {
      return nullptr;
    }
    StringEntry entry;
    if (FindStringEntry(system.FindStringBlock(module, BlockName(id), true), id % kEntriesPerBlock,
                        &entry)) {
      return module;
    }
  }
}

WideString LoadText(SystemServices& system, uint16_t id) {
  WideString text;
  const ResourceModule module = FindTextModule(system, id);
  if (module == nullptr) {
    return text;
  }
  StringEntry entry;
  if (!FindStringEntry(system.FindStringBlock(module, BlockName(id), false), id % kEntriesPerBlock,
                       &entry)) {
    return text;
  }
  wchar_t* units = text.GetBuffer(entry.length);
  const uint32_t error = StringErrorForCopy(CopyStringEntry(entry, units, entry.length + 1u));
  if (error != 0) {
    throw StringError(error);
  }
  text.ReleaseBuffer(entry.length);
  return text;
}

uint32_t StringErrorForCopy(int errorNumber) {
  switch (errorNumber) {
    case 0:
    case 80:
      return 0;
    case 12:
      return kStringOutOfMemory;
    case 22:
    case 34:
      return kStringInvalidArgument;
    default:
      return kStringFailure;
  }
}
