#pragma once

// SSE2 is there on every x86-64 processor. GCC and Clang say so with
// __SSE2__; MSVC only names the architecture.
#if defined(__SSE2__) || defined(_M_X64)
#define VELLMAR_HAVE_SSE2 1
#include <emmintrin.h>
#endif
