# Checks that pictures are decoded only where SVG is made safe first: Qt's SVG renderer and
# its image reader open any file an SVG names, so no source outside the picture classes of
# Platform may use them (nor the QImage and QPixmap calls that go through the reader).
#
#   cmake -DSOURCE_DIR=<tree> -P CheckPictureDecoding.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "CheckPictureDecoding: SOURCE_DIR is not set")
endif()

set(allowed
  src/Platform/Drawing/PLImage.cpp          # the one decoder of bytes into pictures
  src/Platform/Drawing/PLSvgPicture.h       # the one maker of SVG renderers
  src/Platform/Drawing/PLSvgPicture.cpp
  src/Platform/Text/PLTextAttachment.cpp # tells a format, decodes nothing
)
set(pattern "QSvgRenderer|QSvgWidget|QImageReader|loadFromData|QImage::fromData|QPixmap::fromData|QIcon::fromTheme")

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/tools/*.cpp" "${SOURCE_DIR}/tools/*.h")
set(violations 0)
foreach(source IN LISTS sources)
  if(source IN_LIST allowed)
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "${pattern}")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    message("${source}: decodes pictures itself: ${line}")
    math(EXPR violations "${violations} + 1")
  endforeach()
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} lines decode pictures outside PLImage and PLSvgPicture")
endif()
