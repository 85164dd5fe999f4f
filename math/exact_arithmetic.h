#pragma once

#include <cfloat>

// Every picture Quadrelle draws is exact to the bit: each stored value is a float, and
// each compound expression is evaluated in double in a fixed order and rounded once.
// A compiler that may reorder or fuse float operations, or that keeps float
// intermediates in a wider format, draws other pictures, so the build stops here.

#if defined(__FAST_MATH__)
#error "Quadrelle needs exact float arithmetic: build without -ffast-math (and without -Ofast)"
#endif

#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error \
    "Quadrelle needs exact float arithmetic: floats are evaluated in a wider format here (FLT_EVAL_METHOD is not 0; on x86, use SSE2 rather than the x87 unit)"
#endif
