# mailvane_add_library(NAME [AUTOMOC] SOURCES ... [PUBLIC ...] [PRIVATE ...])
# makes the static library mailvane_NAME with the alias mailvane::NAME: the
# calling folder is its public include directory, PUBLIC and PRIVATE are what
# it links, and every library shares mailvane::options. AUTOMOC is for the
# libraries with QObject classes; the plain C++ ones skip moc's scan.
# The links are the layering: a library links only the ones below it.
function(mailvane_add_library name)
    cmake_parse_arguments(ARG "AUTOMOC" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "mailvane_add_library(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    add_library(mailvane_${name} STATIC ${ARG_SOURCES})
    add_library(mailvane::${name} ALIAS mailvane_${name})
    if(ARG_AUTOMOC)
        set_target_properties(mailvane_${name} PROPERTIES AUTOMOC ON)
    endif()
    target_include_directories(mailvane_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(mailvane_${name} PUBLIC mailvane::options ${ARG_PUBLIC}
        PRIVATE ${ARG_PRIVATE})
endfunction()
