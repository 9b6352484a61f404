# The optimised builds of the game (Release, and RelWithDebInfo, the default
# here) are hardened as Debian hardens its packages, with each flag the
# compiler and linker take, and keep the source and build folders out of the
# binary, so that two builds from different folders give the same bytes.
# Sets SKARVEL_RELEASE_OPTIONS and SKARVEL_RELEASE_LINK_OPTIONS (generator
# expressions, empty in other builds) for the game's own targets; the
# sanitized and fuzzing copies keep their own instrumentation alone.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

# PIE: the game's own target asks for it (POSITION_INDEPENDENT_CODE, which
# links with -pie where the toolchain takes it), and the game library's
# objects are compiled as for an executable. -fPIE, not the -fPIC a
# position-independent static library gets: with -fPIC calls between the
# game's own functions go through the PLT and are not inlined, which costs a
# move on the largest field about 30%.
check_pie_supported()

set(skarvel_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
# _FORTIFY_SOURCE needs the optimisation these builds have; undefined first,
# for compilers that define a level of their own.
set(SKARVEL_RELEASE_OPTIONS "$<${skarvel_optimised}:-U_FORTIFY_SOURCE>" "$<${skarvel_optimised}:-D_FORTIFY_SOURCE=2>")
set(SKARVEL_RELEASE_LINK_OPTIONS "")

# Each flag the compiler takes. The two maps make both folders "."; the
# build folder is named last, as it may lie inside the source folder and GCC
# takes the last map that fits.
foreach(flag -fPIE -fstack-protector-strong -fstack-clash-protection
             "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=." "-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")
  string(REGEX REPLACE "=.*" "" name "${flag}")
  string(MAKE_C_IDENTIFIER "SKARVEL_CXX_TAKES${name}" takes)
  check_cxx_compiler_flag("${flag}" ${takes})
  if(${takes})
    list(APPEND SKARVEL_RELEASE_OPTIONS "$<${skarvel_optimised}:${flag}>")
  endif()
endforeach()

foreach(flag -Wl,-z,relro -Wl,-z,now)
  string(MAKE_C_IDENTIFIER "SKARVEL_LINKER_TAKES${flag}" takes)
  check_linker_flag(CXX "${flag}" ${takes})
  if(${takes})
    list(APPEND SKARVEL_RELEASE_LINK_OPTIONS "$<${skarvel_optimised}:${flag}>")
  endif()
endforeach()
