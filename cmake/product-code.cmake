# How the shipped plug-in is compiled and linked, apart from the programs that
# test it (GoogleTest needs exceptions; the plug-in's code throws none).

# The plug-in's own objects: no unwind tables for code that throws nothing and
# never has an exception pass through it (the host calls it through plain C
# entries), and each function and datum in a section of its own, so that the
# link can drop what nothing refers to.
function(tamsil_product_code target)
  target_compile_options(${target} PRIVATE -O2 -fno-exceptions -fno-asynchronous-unwind-tables
                         -ffunction-sections)
endfunction()

# The DLL: unreferenced sections dropped, and Windows 7 (6.1) as the oldest
# system and subsystem version in its header, the same floor the headers are
# held to.
function(tamsil_product_binary target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections
                      -Wl,--major-os-version,6 -Wl,--minor-os-version,1
                      -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1)
endfunction()
