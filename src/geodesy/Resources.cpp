#include "Resources.h"

// The grid bytes are converted from PROJ's egm96_15.gtx at build time (see
// cmake/Egm96Grid.cpp) and included here verbatim by the assembler, which
// keeps a 2 MB table out of the C++ compiler. The build passes the path of
// the converted file as VUZIZA_WW15MGH_PATH. The symbol is the Itanium C++
// ABI name of zel::Resources::WW15MGH_DAC (GCC and Clang on Linux and Android).
#ifndef VUZIZA_WW15MGH_PATH
#error "VUZIZA_WW15MGH_PATH must name the converted EGM96 grid"
#endif

#if !defined(__ELF__)
#error "the built-in grid is emitted for ELF targets (Linux, Android)"
#endif

// "%object" rather than "@object": '@' starts a comment in ARM assembly.
__asm__(
    ".pushsection .rodata.vuziza_ww15mgh, \"a\"\n"
    ".balign 16\n"
    ".globl _ZN3zel9Resources11WW15MGH_DACE\n"
    ".type _ZN3zel9Resources11WW15MGH_DACE, %object\n"
    ".size _ZN3zel9Resources11WW15MGH_DACE, 2076480\n"
    "_ZN3zel9Resources11WW15MGH_DACE:\n"
    ".incbin \"" VUZIZA_WW15MGH_PATH
    "\"\n"
    ".popsection\n");

static_assert(zel::Resources::WW15MGH_length == 721u * 1440u * 2u, "721 x 1440 two-byte values");
