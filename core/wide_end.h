// Closes the part opened by core/wide_avx2_begin.h or core/wide_avx512_begin.h.
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
