// The signed length and digests of a file with its excluded ranges left out.
#ifndef KT_VERIFY_FILE_DIGESTS_H
#define KT_VERIFY_FILE_DIGESTS_H

#include <cstdint>

#include "verify/excluded_ranges.h"
#include "verify/signed_digests.h"
#include "verify/status.h"

// Fills the signed length (file length minus the size of every range, modulo 2^32) and
// the selected digests of `computed`; the rest stays as it is. The file, less its ranges,
// is read into one buffer and hashed in one pass. Statuses: 4 (no record, file not open,
// nothing selected), 3 (no memory for the buffer), and those of ReadFileExcluding.
int ComputeFileDigests(SignedDigests* computed, int file, const ExcludedRange* list,
                       uint32_t selection, VerifyStatus* status);

#endif
