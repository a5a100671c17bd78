# How the shipped plug-in is compiled and linked, apart from the programs that
# test it (GoogleTest needs exceptions; the plug-in's code throws none).

# The plug-in's own objects:
# - no unwind tables for code that throws nothing and never has a C++
#   exception pass through it (the host calls it through plain C entries;
#   the host's own exceptions unwind it through the thread's chain of
#   exception registrations, which needs no tables);
#   -fno-unwind-tables on top of these changes no byte;
# - each function in a section of its own, so that the link drops what nothing
#   calls. Not each datum: for Windows targets the compiler gives a
#   zero-filled variable such a section among the initialised data, and the
#   text buffers' zeros would then take 100 KiB of the file;
# - in a release, optimised for size rather than speed (-Os): the DLL keeps
#   within 64 KiB, and no run waits on this code (a run's time goes to the
#   client, the files and the settings).
function(tamsil_product_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Os> -fno-exceptions -fno-asynchronous-unwind-tables
                         -ffunction-sections)
endfunction()

# The DLL: unreferenced sections dropped, and Windows 7 (6.1) as the oldest
# system and subsystem version in its header, the floor the headers are held
# to as well.
function(tamsil_product_binary target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections
                      -Wl,--major-os-version,6 -Wl,--minor-os-version,1
                      -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1)
endfunction()
