# Skin images, the PNG decoder, the skinned dialog frame with its bars, and the
# skin library location.
list(APPEND MAILVANE_SKIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PngDecoder.cpp
)
