// Changing single fields of a signed file's block after signing, in the block's own form,
// to make the damaged and unusual blocks the verifier must judge. The block region is left
// out of the digests, so such a change keeps the signed digests valid.
#ifndef KT_TESTS_BLOCK_PATCH_H
#define KT_TESTS_BLOCK_PATCH_H

#include <cstdint>

#include "tests/support/signed_files.h"

class BlockPatch {
 public:
  BlockPatch(signing::SignedExecutable* file, signing::Form form) : file_(file), form_(form) {}

  void EntryType(uint8_t value) { U8(Entry(0, 0), value); }
  void DataOffset(uint32_t value) { U32(Entry(2, 4), value); }
  // In characters for the text form, in bytes for the binary one.
  void DataLength(uint32_t value) { U32(Entry(7, 14), value); }
  void KeyKind(char value) { Byte(Entry(11, 22), static_cast<uint8_t>(value)); }
  void PadBefore(uint32_t value) { U32(Head(17, 18), value); }
  void ExcludedLength(uint32_t value) { U32(Head(22, 28), value); }
  void EntryCount(uint8_t value) { U8(Head(26, 36), value); }
  void BlockOffset(uint32_t value) { U32(Tail(11, 21), value); }
  void PadAfter(uint32_t value) { U32(Tail(6, 11), value); }
  void Kind(char value) { Byte(Tail(1, 1), static_cast<uint8_t>(value)); }

 private:
  size_t Pick(size_t binary, size_t text) const {
    return form_ == signing::Form::Binary ? binary : text;
  }
  size_t Entry(size_t binary, size_t text) const {
    return file_->layout.firstEntry + Pick(binary, text);
  }
  size_t Head(size_t binary, size_t text) const {
    return file_->layout.blockStart + Pick(binary, text);
  }
  size_t Tail(size_t binary, size_t text) const {
    return file_->layout.blockStart + file_->layout.tailMagicOffset - Pick(binary, text);
  }
  void Byte(size_t offset, uint8_t value) { file_->bytes.at(offset) = value; }
  void U8(size_t offset, uint8_t value);
  void U32(size_t offset, uint32_t value);

  signing::SignedExecutable* file_;
  signing::Form form_;
};

#endif
