# Read by cpack before it installs anything (CPACK_PROJECT_CONFIG_FILE).
# Stops a Debian package without a maintainer, and tells the install script
# that this install is cpack's own (cmake/install_record.cmake).
cmake_policy(VERSION 3.20)  # run outside the project, which sets it
set(ENV{SKARVEL_PACKAGING} 1)
if(CPACK_GENERATOR STREQUAL "DEB")
  if(CPACK_DEBIAN_PACKAGE_MAINTAINER)
    set(skarvel_maintainer "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
  else()
    set(skarvel_maintainer "${CPACK_PACKAGE_CONTACT}")
  endif()
  if(NOT skarvel_maintainer MATCHES "^[^<>@]*[^<>@ ] <[^<>@ ]+@[^<>@ ]+\\.[^<>@ ]+>$")
    if(skarvel_maintainer)
      set(skarvel_maintainer " (not \"${skarvel_maintainer}\")")
    endif()
    message(FATAL_ERROR
      "The Debian package needs its maintainer, as \"Name <name@example.org>\""
      "${skarvel_maintainer}. Configure the build with\n"
      "  cmake -S . -B build -DSKARVEL_PACKAGE_MAINTAINER=\"Your Name <you@example.org>\"\n"
      "or give it to cpack: cpack -G DEB -D CPACK_PACKAGE_CONTACT=\"Your Name <you@example.org>\"")
  endif()
endif()
