# Build settings every target of the project shares.
add_library(parlow6_common INTERFACE)
target_compile_features(parlow6_common INTERFACE cxx_std_20)
target_compile_definitions(parlow6_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_USE_QSTRINGBUILDER)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(parlow6_common INTERFACE -Wall -Wextra -Wpedantic)
    if(PARLOW6_WARNINGS_AS_ERRORS)
        target_compile_options(parlow6_common INTERFACE -Werror)
    endif()
endif()
