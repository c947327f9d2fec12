# The Windows build's libraries: SDL2 and libopenmpt as static libraries
# cross-built from Debian's sources (scripts/build-deps.sh mingw64; the
# toolchain file searches their prefixes, SHOW_DEPS_PREFIXES), and Windows' own
# OpenGL. Everything, the C and C++ runtimes included, is linked in, so the
# programs need only the DLLs every Windows has.
find_package(SDL2 REQUIRED CONFIG)  # SDL2::SDL2: the static library and the system libraries it calls

# libopenmpt has only a pkg-config file: read the cross prefixes' files, never
# the build machine's, with the private libraries a static link needs.
set(pkg_config_dirs)
foreach(prefix ${SHOW_DEPS_PREFIXES})
  list(APPEND pkg_config_dirs ${prefix}/lib/pkgconfig)
endforeach()
string(REPLACE ";" ":" pkg_config_dirs "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static CACHE STRING "Arguments to supply to pkg-config")
find_package(PkgConfig REQUIRED)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)

find_package(OpenGL REQUIRED)  # opengl32 and glu32
# MinGW's GL/gl.h pulls in all of windows.h unless the three names it needs
# are given; windows.h would turn the shell's WM_* message names into macros.
# (No file of the show includes windows.h, which would define them anew.)
add_compile_definitions("WINGDIAPI=__declspec(dllimport)" APIENTRY=__stdcall CALLBACK=__stdcall)

add_link_options(-static)
# Stripped: the libraries' debug information would triple the programs' size.
add_link_options($<$<NOT:$<CONFIG:Debug>>:-s>)
