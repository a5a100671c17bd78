#ifndef TAMSIL_NLS_LANG_COMPOSITION_H
#define TAMSIL_NLS_LANG_COMPOSITION_H

#include <stddef.h>

// The client reads a script in the character set named at the end of its
// NLS_LANG ("<language>_<territory>.<character set>"), while the script file
// holds the editor's text in the system code page. The NlsLang setting names
// the client's NLS_LANG, or asks for the character set of that code page.
// This file only composes that value; it is set for the client, and the
// host's own put back, with the client's other variables (see
// client_environment.h).

// The client's name for the character set of a Windows code page; NULL for a
// code page that has none known.
const char* CharacterSetOfCodePage(unsigned codePage);

// True when a setting asks for the character set of the system code page:
// "auto", or a value ending in ".auto", in any case.
bool NlsLangAsksForCodePage(const char* setting);

// True when a variable's name is NLS_LANG, in any case, as the platform
// compares names.
bool NamesNlsLang(const char* name);

// The NLS_LANG the client gets for a setting that is not empty: for "auto",
// the host's language and territory (the part of hostValue before its last
// ".", or all of it; nothing when hostValue is NULL or empty); for
// "<x>.auto", x; either followed by "." and characterSet. Any other setting
// is the value as it stands. False, with an empty value, when the setting
// asks for a character set and characterSet is NULL, or when the value does
// not fit capacity.
bool ComposeNlsLang(const char* setting, const char* hostValue, const char* characterSet,
                    char* value, size_t capacity);

#endif
