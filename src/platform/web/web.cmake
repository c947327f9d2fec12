# The web build's libraries and settings, for the top-level CMakeLists under
# Emscripten. scripts/build-web.sh passes the folders.
set(SHOW_WEB_SDL2 "" CACHE PATH "SDL2 built for the web: its install prefix")
set(SHOW_WEB_OPENMPT "" CACHE PATH "libopenmpt built for the web: its install prefix")
set(SHOW_WEB_MEDIA "" CACHE PATH "the media folder packed into the page")
foreach(prefix SHOW_WEB_SDL2 SHOW_WEB_OPENMPT SHOW_WEB_MEDIA)
  if(NOT IS_DIRECTORY "${${prefix}}")
    message(FATAL_ERROR "${prefix} is not a folder: '${${prefix}}' (scripts/build-web.sh sets it)")
  endif()
endforeach()
set(SHOW_MEDIA_DIR ${SHOW_WEB_MEDIA})

# The same target names as the desktop build, so every subsystem links alike.
add_library(SDL2::SDL2 INTERFACE IMPORTED)
target_include_directories(SDL2::SDL2 INTERFACE ${SHOW_WEB_SDL2}/include/SDL2)
target_link_libraries(SDL2::SDL2 INTERFACE ${SHOW_WEB_SDL2}/lib/libSDL2.a)
add_library(PkgConfig::OPENMPT INTERFACE IMPORTED)
target_include_directories(PkgConfig::OPENMPT INTERFACE ${SHOW_WEB_OPENMPT}/include)
target_link_libraries(PkgConfig::OPENMPT INTERFACE ${SHOW_WEB_OPENMPT}/lib/libopenmpt.a)
# The browser's GL is Emscripten's, chosen at link time; what it lacks comes
# from the compatibility layer, which every GL user links through this name.
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_libraries(OpenGL::GL INTERFACE gl_compat)
add_library(OpenGL::GLU INTERFACE IMPORTED)

# Every source of the show sees the layer's redirections (the layer itself
# opts out by SHOW_GL_COMPAT_LAYER).
add_compile_options(-include ${PROJECT_SOURCE_DIR}/src/platform/web/gl_redirect.h)
