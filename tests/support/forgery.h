// Forged copies of a block-signed executable, made as an attacker holding only the signed
// file would make them: the program that the loader maps is changed, yet every byte the
// signature covers keeps its order, so the signed length and the digests still match. Only
// the place of the covered bytes differs, which is what the verifier's layout rules catch.
#ifndef KT_TESTS_FORGERY_H
#define KT_TESTS_FORGERY_H

#include "tests/support/file_bytes.h"
#include "tools/signing/excluded_ranges.h"
#include "tools/signing/exe_signer.h"

struct Forgery {
  Bytes bytes;
  signing::ExcludedRanges ranges;  // what the forged file leaves out, ascending
  Bytes mappedSections;            // what the loader now reads at the sections' raw data offsets
};

// The ranges the untouched signed file leaves out, ascending.
signing::ExcludedRanges SignedRanges(const signing::SignedExecutable& file);

// A changed copy of the sections' raw data is inserted right before the first section, and
// the certificate-table entry, excluded from the digests, names exactly the inserted bytes.
// The file must carry no certificate table yet.
Forgery ForgeThroughCertificateEntry(const signing::SignedExecutable& file);

// The block (binary form) is taken off the end and rebuilt in the header padding before the
// first section, its unsigned free area carrying a changed copy of the sections at the
// sections' own file offsets; its excluded length covers all of it.
Forgery ForgeThroughMovedBlock(const signing::SignedExecutable& file);

#endif
