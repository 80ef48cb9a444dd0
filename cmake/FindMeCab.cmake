# Finds MeCab's library and header: through mecab-config, which Debian's
# libmecab-dev ships, else in the usual places. Defines MeCab::MeCab.
find_program(MECAB_CONFIG mecab-config)
if(MECAB_CONFIG)
    execute_process(COMMAND ${MECAB_CONFIG} --inc-dir OUTPUT_VARIABLE _mecab_inc OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${MECAB_CONFIG} --libs-only-L OUTPUT_VARIABLE _mecab_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REPLACE "-L" "" _mecab_lib "${_mecab_lib}")
endif()
find_path(MeCab_INCLUDE_DIR mecab.h HINTS ${_mecab_inc})
find_library(MeCab_LIBRARY mecab HINTS ${_mecab_lib})

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(MeCab REQUIRED_VARS MeCab_LIBRARY MeCab_INCLUDE_DIR)
if(MeCab_FOUND AND NOT TARGET MeCab::MeCab)
    add_library(MeCab::MeCab UNKNOWN IMPORTED)
    set_target_properties(MeCab::MeCab PROPERTIES
        IMPORTED_LOCATION ${MeCab_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${MeCab_INCLUDE_DIR})
endif()
mark_as_advanced(MeCab_INCLUDE_DIR MeCab_LIBRARY MECAB_CONFIG)
