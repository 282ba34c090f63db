// One text per layout rule. ktsign always appends the block region at the end of its input,
// so each rule reads as a property of the input.
#include "tools/ktsign/layout_refusal.h"

namespace ktsign {
namespace {

constexpr const char* kUseScript = "sign scripts and other files with `ktsign script`";
constexpr const char* kNotAProgram =
    "only a PE32 or PE32+ program can carry a signature block; sign other files with `ktsign "
    "script`";
constexpr const char* kRelink =
    "link the program so that its headers and sections end before the bytes that the "
    "signature leaves out, with a file alignment from 512 to 65536 and a section alignment "
    "of at least 4096";

struct FaultText {
  const char* rule;
  const char* instead;
};

FaultText TextOf(LayoutFault fault) {
  switch (fault) {
    case LayoutFault::NotAnExecutable:
      return {"it is no Windows executable (it does not start with \"MZ\")", kUseScript};
    case LayoutFault::HeaderOutsideFile:
      return {"a field of its executable header lies beyond its end", kNotAProgram};
    case LayoutFault::NotPortableExecutable:
      return {"its executable header has no \"PE\\0\\0\" signature", kNotAProgram};
    case LayoutFault::OptionalHeaderMagic:
      return {"its optional-header magic is neither 0x10B (PE32) nor 0x20B (PE32+)", kNotAProgram};
    case LayoutFault::OptionalHeaderTooShort:
      return {"its optional header ends before the certificate-table entry", kNotAProgram};
    case LayoutFault::TooFewDirectories:
      return {
          "its optional header has fewer than 5 data directories, so no certificate-table "
          "entry",
          kNotAProgram};
    case LayoutFault::FileAlignment:
      return {"its file alignment is not a power of two from 512 to 65536", kRelink};
    case LayoutFault::SectionAlignment:
      return {
          "its section alignment is below 4096 or below its file alignment, so a loader "
          "would map the unsigned bytes after it",
          kRelink};
    case LayoutFault::TailNotAtEnd:
      return {
          "its certificate-table entry names a table that does not end the file, so the "
          "table would stand in front of signed bytes",
          "sign the program before it gets its Authenticode signature"};
    case LayoutFault::HeadersInTail:
      return {
          "its headers, rounded up to the file alignment, reach into the bytes that the "
          "signature leaves out (its certificate table or what follows its end)",
          kRelink};
    case LayoutFault::SectionInTail:
      return {
          "the raw data of a section, rounded up to the file alignment, reaches into the "
          "bytes that the signature leaves out (its certificate table or what follows its "
          "end)",
          kRelink};
    case LayoutFault::None:
      break;
  }
  return {"it breaks a layout rule of the helper", kNotAProgram};
}

}  // namespace

std::string LayoutRefusal(const std::string& inputPath, LayoutFault fault) {
  const FaultText text = TextOf(fault);
  return inputPath + " cannot carry a signature block: " + text.rule + "; " + text.instead;
}

}  // namespace ktsign
