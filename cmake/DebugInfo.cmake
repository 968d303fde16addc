# Shipped executables carry no debug information: every executable link moves
# it into <name>.debug beside the executable and adds a .gnu_debuglink section
# (which holds only the file name), so gdb and the symbolizers find it there.
# Appended to the link rule, it covers every executable without a per-target step.
if(CMAKE_OBJCOPY AND CMAKE_STRIP)
  set(CMAKE_CXX_LINK_EXECUTABLE
      "${CMAKE_CXX_LINK_EXECUTABLE} && ${CMAKE_OBJCOPY} --only-keep-debug <TARGET> <TARGET>.debug && ${CMAKE_STRIP} --strip-debug --strip-unneeded <TARGET> && ${CMAKE_OBJCOPY} --add-gnu-debuglink=<TARGET>.debug <TARGET>")
endif()
