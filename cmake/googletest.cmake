# GoogleTest for the tests: the installed one, or, for a processor other than
# this one, built inside the build tree from the sources VANTOREL_GTEST_SOURCE
# names (Debian's libgtest-dev ships them in /usr/src/googletest).
if(NOT VANTOREL_GTEST_SOURCE)
    find_package(GTest REQUIRED)
    return()
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Our warnings (and -Werror) are for our code, not for GoogleTest's.
get_directory_property(OUR_COMPILE_OPTIONS COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${VANTOREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${OUR_COMPILE_OPTIONS}")
