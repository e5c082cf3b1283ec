# LZO and libjpeg: system packages natively; for Windows the static builds that
# scripts/setup cross-compiles into build/deps/<triplet> (or an MSYS2 installation).
find_path(LZO_INCLUDE_DIR lzo/lzo1x.h)
find_library(LZO_LIBRARY NAMES lzo2 liblzo2.a)
find_path(JPEG_INCLUDE_DIR jpeglib.h)
find_library(JPEG_LIBRARY NAMES jpeg libjpeg.a)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(SnapwiseDeps
  REQUIRED_VARS LZO_LIBRARY LZO_INCLUDE_DIR JPEG_LIBRARY JPEG_INCLUDE_DIR)

if(SnapwiseDeps_FOUND AND NOT TARGET Deps::lzo)
  add_library(Deps::lzo UNKNOWN IMPORTED)
  set_target_properties(Deps::lzo PROPERTIES IMPORTED_LOCATION ${LZO_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${LZO_INCLUDE_DIR})
  add_library(Deps::jpeg UNKNOWN IMPORTED)
  set_target_properties(Deps::jpeg PROPERTIES IMPORTED_LOCATION ${JPEG_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${JPEG_INCLUDE_DIR})
endif()
