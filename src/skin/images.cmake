# The image container with its loaders and regions, and the bitmap button.
list(APPEND MAILVANE_SKIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Dib24.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MaskBlend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureLoader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GifParser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GifComposer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MonoBitmapDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RawPngDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegionBuilder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COBitmapUtil.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COBitmapUtilLoading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COBitmapUtilBlend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ButtonShape.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BmpButtonPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BmpButtonWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/BmpButtonWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BmpButton.cpp
)
