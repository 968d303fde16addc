# Warnings on everywhere; the code is kept free of them.
add_library(vorlix_warnings INTERFACE)
target_compile_options(vorlix_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                       -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wnull-dereference)
if(WIN32)
  # Unicode Win32 API and no min/max macros.
  target_compile_definitions(vorlix_warnings INTERFACE UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                             _WIN32_WINNT=0x0601)
endif()
