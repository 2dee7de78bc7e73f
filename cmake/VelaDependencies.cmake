# Imported targets vela::png, vela::jpeg and vela::zlib.
# Windows builds use the static MinGW libraries that tools/bootstrap.sh built into VELA_CACHE;
# the native build uses the distribution's development packages.
include_guard(GLOBAL)
# The versions are kept once, in tools/versions.sh, which the bootstrap script sources.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../tools/versions.sh _vela_versions REGEX "^[A-Z_]+_VERSION=")
foreach(_line IN LISTS _vela_versions)
  string(REGEX MATCH "^([A-Z_]+)=(.*)$" _ ${_line})
  set(VELA_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()

function(vela_import_static name library include_dir)
  if(NOT EXISTS ${library})
    message(FATAL_ERROR "${library} is missing: run tools/bootstrap.sh first")
  endif()
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION ${library}
    INTERFACE_INCLUDE_DIRECTORIES ${include_dir})
endfunction()

if(WIN32)
  set(_triple ${MINGW_TRIPLE})
  set(_png ${VELA_CACHE}/${_triple}/libpng1.6-${VELA_LIBPNG_VERSION})
  set(_jpeg ${VELA_CACHE}/${_triple}/libjpeg-turbo-${VELA_LIBJPEG_TURBO_VERSION})
  vela_import_static(vela_zlib_static /usr/${_triple}/lib/libz.a /usr/${_triple}/include)
  vela_import_static(vela_png_static ${_png}/lib/libpng16.a ${_png}/include)
  vela_import_static(vela_jpeg_static ${_jpeg}/lib/libjpeg.a ${_jpeg}/include)
  set_target_properties(vela_png_static PROPERTIES INTERFACE_LINK_LIBRARIES vela_zlib_static)
  add_library(vela::zlib ALIAS vela_zlib_static)
  add_library(vela::png ALIAS vela_png_static)
  add_library(vela::jpeg ALIAS vela_jpeg_static)
else()
  find_package(ZLIB REQUIRED)
  find_package(PNG REQUIRED)
  find_package(JPEG REQUIRED)
  add_library(vela::zlib ALIAS ZLIB::ZLIB)
  add_library(vela::png ALIAS PNG::PNG)
  add_library(vela::jpeg ALIAS JPEG::JPEG)
endif()
