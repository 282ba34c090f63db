// The two named mutexes that tell the helper who else is at work. Neither name carries a
// namespace prefix, so both live in the user's session.
#ifndef KT_APP_MUTEX_NAMES_H
#define KT_APP_MUTEX_NAMES_H

// Held by every flow of the helper from its probe until it returns.
constexpr const wchar_t* kHelperMutexName = L"{F0B336D4-3E88-4364-8249-3A2EABA64365}";
// Held by the product while it runs; only the removal asks for it.
constexpr const wchar_t* kProductMutexName = L"{856D85EB-3BEF-48fb-BE9F-039EEB944369}";

#endif
