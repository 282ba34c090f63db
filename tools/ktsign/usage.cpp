// The usage texts of ktsign.
#include "tools/ktsign/usage.h"

namespace ktsign {
namespace {

constexpr std::string_view kOverview =
    "Usage: ktsign exe --key FILE.pem [--key-kind P|D] [--form binary|text]\n"
    "                  [--pad-before N] [--pad-after N] IN OUT\n"
    "       ktsign script --key FILE.pem [--form binary|text] IN OUT\n"
    "       ktsign [exe|script] --help\n"
    "\n"
    "Signs a file for the Norlith Tamsweep install helper with an RSA-2048 private key\n"
    "(exponent 65537, unencrypted PEM) and writes the signed copy to OUT.\n"
    "  exe     appends a signature block, for Windows executables (PE32 and PE32+)\n"
    "  script  appends a signature trailer, for scripts and every other file\n"
    "The key must be the private half of the built-in key that opens the signature, and\n"
    "the signed copy must pass the helper's own check before it replaces OUT.\n"
    "Exit status: 0 when OUT was written, 2 when the run was refused (nothing is written).\n";

constexpr std::string_view kExe =
    "Usage: ktsign exe --key FILE.pem [--key-kind P|D] [--form binary|text]\n"
    "                  [--pad-before N] [--pad-after N] IN OUT\n"
    "\n"
    "Appends a signature block to the Windows executable IN and writes the result to OUT.\n"
    "The signature covers the file's length and digests, leaving out the block itself, the\n"
    "checksum, the certificate-table entry and the certificate table, so that an Authenticode\n"
    "signature may be added afterwards. The headers and sections of IN must lie within it\n"
    "and a certificate table must end it; other files are signed with `ktsign script`.\n"
    "  --key FILE.pem    the private key of KeyP for kind P, of KeyD for kind D\n"
    "  --key-kind P|D    the built-in key the helper opens the signature with (default P)\n"
    "  --form binary|text  numbers as little-endian bytes or as hex digits (default binary)\n"
    "  --pad-before N    zero bytes, 0 to 32, between IN and the block (default 0)\n"
    "  --pad-after N     zero bytes, 0 to 32, after the block (default: up to the next\n"
    "                    multiple of 8 bytes, where a certificate table may follow)\n";

constexpr std::string_view kScript =
    "Usage: ktsign script --key FILE.pem [--form binary|text] IN OUT\n"
    "\n"
    "Appends a signature trailer to IN, which must not be empty, and writes the result to\n"
    "OUT. The signature covers the size of OUT and the MD5 of IN; the helper opens it with\n"
    "KeyD.\n"
    "  --key FILE.pem    the private key of KeyD\n"
    "  --form binary|text  256 signature bytes then 'B', or 512 hex digits then 'T'\n"
    "                    (default binary)\n";

}  // namespace

std::string_view UsageText(Verb verb) {
  switch (verb) {
    case Verb::Exe:
      return kExe;
    case Verb::Script:
      return kScript;
    case Verb::Help:
      break;
  }
  return kOverview;
}

}  // namespace ktsign
