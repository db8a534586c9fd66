// The stand-in host: our own implementation of the host's services table and
// of an expression language for its scripts. It serves the tests, the
// previewer and the Windows-side test hosts (there it is its own DLL with this
// plain C interface). The language and how the services treat null, freed
// and foreign handles: standin/LANGUAGE.md.
#pragma once

#include <cstdint>

#include "host/host_services.h"

#if defined(_WIN32) && defined(STANDIN_BUILDING_DLL)
#define STANDIN_API __declspec(dllexport)
#elif defined(_WIN32) && defined(STANDIN_USING_DLL)
#define STANDIN_API __declspec(dllimport)
#else
#define STANDIN_API
#endif

extern "C" {

// Where a script failed to compile: 1-based line and column of the offending
// character, and a short message.
struct StandinDiagnostic {
    int32_t line;
    int32_t column;
    char message[120];
};

// The services table (one process-wide object, its blend-mode word included).
STANDIN_API const host::HostServices* HOST_CDECL standin_services(void);

// The host's blend-mode word: bits 0-7 mode, bits 8-15 mix ratio.
STANDIN_API void HOST_CDECL standin_set_blend_mode_word(uint32_t word);

// Diagnostic of the most recent compileCode call that returned null.
// Returns 1 and fills *out when there is one, 0 after a successful compile.
STANDIN_API int32_t HOST_CDECL standin_last_diagnostic(StandinDiagnostic* out);

// Compiles text in a scratch context without keeping it: 1 when it compiles,
// otherwise 0 with the diagnostic in *out (which may be null).
STANDIN_API int32_t HOST_CDECL standin_check_script(const char* text, StandinDiagnostic* out);

// Number of contexts and code handles currently alive (for leak checks).
STANDIN_API int32_t HOST_CDECL standin_live_contexts(void);
STANDIN_API int32_t HOST_CDECL standin_live_codes(void);
}
