# Installing: the per-user folder (window-free), and the installed programs, desktop files, metainfo and
# .deb package.
add_unit_test(userfolder_test SOURCES userfolder_test.cpp LIBS platform_userfolder)
