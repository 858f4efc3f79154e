// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Under AddressSanitizer, freed memory is held back (quarantined, up to
// 256 MB) to catch use after free. The tests that bound resident memory would
// see that as growth; a small quarantine keeps the check meaningful there and
// keeps most of the sanitizer's reach.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=1";
}
#endif

// libfuse allocates a handle for each directory opened on its disk and frees
// it when the directory is released. A power cut unmounts the disk while the
// station may have its folder open (to list or sync it), so the release never
// comes and the handle stays: libfuse's memory, not the station's.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfuse3.so\n";
}
#endif
