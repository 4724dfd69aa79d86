# Read by cpack before it packs: a package built for this machine's processor, or with
# sanitizers, must not reach other machines. The package test passes CPACK_ZELMORA_ALLOW_ANY_BUILD,
# since it checks the layout, not the code generation.
if(CPACK_ZELMORA_NOT_PORTABLE AND NOT CPACK_ZELMORA_ALLOW_ANY_BUILD)
  message(FATAL_ERROR "This tree builds with -march=native or sanitizers; package a tree configured "
                      "with -DZELMORA_NATIVE=OFF (see the README's section on the Debian package).")
endif()
