# Skin images, the PNG decoder, the skinned dialog frame with its bars, and the
# skin library location.
list(APPEND MAILVANE_SKIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DisplayPngDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DecodedPng.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PngMemorySource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureGate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinHorizontalBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinLibraryLocator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinPiece.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SkinVerticalBar.cpp
)
