#pragma once
// Lets the compiler check the arguments of the project's printf-like functions.

#if defined(__GNUC__)
#define QUILLON_PRINTF(format_index, first_argument) \
  __attribute__((format(printf, format_index, first_argument)))
#else
#define QUILLON_PRINTF(format_index, first_argument)
#endif
